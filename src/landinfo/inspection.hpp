#pragma once

// landinfo's whole answer on a file held in memory: the lines for standard
// output and standard error, the exit status and the bitmap to export. Nothing
// here opens a file or prints, so that every place that shows landinfo's
// words gives the very same ones.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_order.hpp"

namespace bmp2land::landinfo {

inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;

// What landinfo is asked about a file.
struct Request {
    const char* program = "landinfo";  // as invoked, for the usage line
    const char* path = "";             // the file, named in the words as given
    bool exporting = false;            // an OUT.bmp follows the file
};

struct Inspection {
    std::string out;  // for standard output
    std::string err;  // for standard error
    int status = kFailure;
    // Asked to export a good land file: the bitmap's bytes, for OUT.bmp.
    std::optional<std::vector<std::uint8_t>> exported;
};

// `size` is the file's real length: more than bytes.size() when only the
// start of a long file was read.
Inspection inspect(const Request& request, Bytes bytes, std::uint64_t size);

// "Usage: landinfo FILE [OUT.bmp]", with the program's name as invoked.
std::string usageText(const char* program);
// A problem with a file, as landinfo names it on standard error.
std::string complaintText(std::string_view file, std::string_view what);
// The last line of a written export, naming the file as given.
std::string writtenText(std::string_view file);

}  // namespace bmp2land::landinfo
