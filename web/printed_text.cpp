// The page's stand-in for the console: see printed_text.hpp. Only the page
// links this file, in place of the platform layer, which it never builds.

#include "printed_text.hpp"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "platform/console_output.hpp"

namespace bmp2land {
namespace {

std::string printed;

}  // namespace

namespace platform {

void printOut(std::string_view utf8) {
    printed += utf8;
}

void printOutFormatted(const char* format, ...) {  // NOLINT(cert-dcl50-cpp): printf's own form
    std::va_list arguments;
    va_start(arguments, format);
    // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized): va_start is just above
    const int length = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    if (length <= 0)
        return;
    std::string text(static_cast<std::size_t>(length), '\0');
    va_start(arguments, format);
    // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized): va_start is just above
    (void)std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    va_end(arguments);
    printOut(text);
}

}  // namespace platform

std::string web::takePrintedText() {
    return std::exchange(printed, {});
}

}  // namespace bmp2land
