#pragma once

// landinfo's whole answer on a file held in memory: the lines for standard
// output and standard error, the exit status and the file to write: a land
// file's export, the level made of a drawing, or a preview picture. Nothing
// here opens a file or prints, so that every place that shows landinfo's
// words (the program, the web page) gives the very same ones.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_order.hpp"
#include "common/expected.hpp"
#include "drawing/drawing.hpp"
#include "landinfo/wording.hpp"
#include "png/png_writer.hpp"

namespace bmp2land::landinfo {

inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;

// The end of a complaint about OUT, or about a file that gives no OUT.
inline constexpr std::string_view kNothingWritten = "; nothing written";

// What the second argument asks for, by its extension.
enum class Output : std::uint8_t {
    None,     // no second argument
    Bitmap,   // OUT.bmp: a land file's picture, exported to edit, or the level of a picture
    Preview,  // OUT.png: a picture of what the report says
};

using PngEncoder = Expected<std::vector<std::uint8_t>, png::WriteError> (*)(std::uint32_t width,
                                                                            std::uint32_t height,
                                                                            Bytes rgb);

// What landinfo is asked about a file.
struct Request {
    const char* program = "landinfo";  // as invoked, for the usage line
    const char* path = "";             // the file, named in the words as given
    Output output = Output::None;
    const char* outPath = "";  // OUT, named in the words as given
    // The preview's encoder; tests hand in one that fails.
    PngEncoder encodePng = png::encodeRgbPng;
    // The page's advice names what it does, not commands.
    Wording wording = Wording::Console;
};

struct Inspection {
    std::string out;  // for standard output
    std::string err;  // for standard error
    // The exit status; with a file to write, the status once it is written.
    int status = kFailure;
    // The bytes for OUT: a good land file's export, the level made of a
    // picture, or the preview of any file but one that could not be drawn.
    std::optional<std::vector<std::uint8_t>> written;
    // For standard output once OUT is written, after writtenText(OUT): the
    // verdict on a drawing's level, in bmp2land's words, and what to do.
    std::string afterWritten;
};

// OUT.bmp or OUT.png, whatever the case of the extension; nothing for any
// other name.
std::optional<Output> outputFor(std::string_view path);

// `size` is the file's real length: more than bytes.size() when only the
// start of a long file was read.
//   landinfo LAND.DAT [OUT.bmp | OUT.png]: the summary, and its export or
//     preview (a damaged file's preview: what was read).
//   landinfo BITMAP: the check of a bitmap, as bmp2land would take it; of a
//     drawing (LevelCheck::isDrawing), also what its level would be.
//   landinfo PICTURE OUT.bmp: the level made of any picture that is not a
//     land file (a PNG, a BMP of any depth), by its colours.
//   landinfo PICTURE OUT.png: the preview of the level a drawing gives, as
//     OUT.bmp would hold it; of any other picture, the check and a preview
//     of what bmp2land reads of it.
Inspection inspect(const Request& request, Bytes bytes, std::uint64_t size);

// The drawing's part of inspect(), for OUT.bmp or OUT.png, on a level
// already made of it: the words on the level, and the level bitmap or its
// preview.
Inspection levelInspection(const Request& request, const drawing::Level& level);

// "Usage: landinfo FILE [OUT.bmp | OUT.png]", with the program's name as invoked.
std::string usageText(const char* program);
// A problem with a file, as landinfo names it on standard error.
std::string complaintText(std::string_view file, std::string_view what);
// The line after a written export, level or preview, naming the file as given.
std::string writtenText(std::string_view file);

}  // namespace bmp2land::landinfo
