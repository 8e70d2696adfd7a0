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

void printOutFormatted(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length > 0) {
        const std::size_t start = printed.size();
        printed.resize(start + static_cast<std::size_t>(length) + 1);
        (void)std::vsnprintf(printed.data() + start, static_cast<std::size_t>(length) + 1, format,
                             again);
        printed.pop_back();  // vsnprintf's closing '\0'
    }
    va_end(again);
}

}  // namespace platform

std::string web::takePrintedText() {
    return std::exchange(printed, {});
}

}  // namespace bmp2land
