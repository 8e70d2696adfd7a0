#pragma once

// landinfo's whole answer on a file held in memory: the lines for standard
// output and standard error, the exit status and the bitmap to write: a land
// file's picture, or the level made of a drawing. Nothing here opens a file
// or prints, so that every place that shows landinfo's words (the program,
// the web page) gives the very same ones.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_order.hpp"
#include "drawing/drawing.hpp"

namespace bmp2land::landinfo {

inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;

// What landinfo is asked about a file.
struct Request {
    const char* program = "landinfo";  // as invoked, for the usage line
    const char* path = "";             // the file, named in the words as given
    bool exporting = false;            // an OUT.bmp follows the file
    const char* exportPath = "";       // that OUT.bmp, named in the words as given
};

struct Inspection {
    std::string out;  // for standard output
    std::string err;  // for standard error
    // The exit status; with a bitmap to export, the status once it is written.
    int status = kFailure;
    // The bitmap's bytes, for OUT.bmp: a good land file's picture, or the
    // level made of a drawing.
    std::optional<std::vector<std::uint8_t>> exported;
    // For standard output once OUT.bmp is written (after writtenText): a
    // drawing's level's verdict, in bmp2land's words, and what to do.
    std::string afterWritten;
};

// `size` is the file's real length: more than bytes.size() when only the
// start of a long file was read.
//   landinfo LAND.DAT [OUT.bmp]: the summary, and the picture to export.
//   landinfo BITMAP: the check of a bitmap, as bmp2land would take it; for a
//     picture that is not a level bitmap, also what its level would be.
//   landinfo PICTURE OUT.bmp: the level made of any picture that is not a
//     land file (a PNG, a BMP of any depth), by its colours.
Inspection inspect(const Request& request, Bytes bytes, std::uint64_t size);

// The drawing's part of inspect() on a level already made of it.
Inspection levelInspection(const Request& request, const drawing::Level& level);

// "Usage: landinfo FILE [OUT.bmp]", with the program's name as invoked.
std::string usageText(const char* program);
// A problem with a file, as landinfo names it on standard error.
std::string complaintText(std::string_view file, std::string_view what);
// The last line of a written export, naming the file as given.
std::string writtenText(std::string_view file);

}  // namespace bmp2land::landinfo
