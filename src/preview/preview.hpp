#pragma once

// Draws a level as a picture to look at rather than read: land in its stored
// colours over a calm sky, each object ringed and numbered, and what is wrong
// in one signal colour, named in a legend in the corner with the fewest
// objects. One pixel a pixel, so that it can be laid over the drawing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "preview/image.hpp"
#include "preview/scene.hpp"

namespace bmp2land::preview {

// The preview's own colours. No land pixel is shown in the sky or the signal
// colour: a land colour equal to one of them is shown one level of blue away
// (see shownColour).
inline constexpr Rgb kSkyColour = {189, 215, 238};   // a pale blue
inline constexpr Rgb kSignalColour = {255, 0, 0};    // red: what is wrong
inline constexpr Rgb kRingColour = {255, 221, 0};    // yellow, edged in black
inline constexpr Rgb kOutlineColour = {0, 0, 0};     // ring edges, label boxes
inline constexpr Rgb kTextColour = {255, 255, 255};  // on label boxes and the legend
inline constexpr Rgb kLegendColour = {40, 40, 40};   // the legend's box
// What could not be read: diagonal stripes of two greys.
inline constexpr Rgb kUnknownColour = {110, 110, 110};
inline constexpr Rgb kUnknownStripeColour = {150, 150, 150};

// A ring's yellow band is three pixels wide around the middle radius, with a
// one-pixel black edge inside and outside it.
inline constexpr std::int64_t kRingRadius = 10;
inline constexpr std::int64_t kRingReach = kRingRadius + 3;  // the outer edge's last pixels
// Text is the built-in font at twice its size: 10 x 16 pixels a character,
// 12 from one to the next. A label's text starts kLabelPadding pixels into
// its box.
inline constexpr int kTextScale = 2;
inline constexpr std::int64_t kLabelPadding = 2;

enum class Problem : std::uint8_t {
    UnstoredColours,   // land of entries 96 to 254: its colour is not stored
    ObjectColour,      // pixels of 255 away from the objects: objects once converted
    TouchingObjects,   // object pixels side by side: a brush blot
    SharedPlaces,      // objects where an earlier one is
    MaskDisagrees,     // mask pixels that disagree with the picture
    OutsidePositions,  // objects outside the picture, drawn at the edge
    NotRead,           // pixels that could not be read, striped grey
};

struct Finding {
    Problem problem = Problem::UnstoredColours;
    std::size_t count = 0;  // pixels or objects
    bool operator==(const Finding&) const = default;
};

// One ring: an object, the objects at one place, a blot, or a place outside
// the picture drawn at its edge.
struct Mark {
    Point centre;                       // inside the picture
    std::int64_t radius = kRingRadius;  // of the ring's middle
    bool signal = false;                // drawn in the signal colour: a problem
    std::vector<std::size_t> objects;   // their numbers, counted from 1
    std::string text;                   // the label: "7", "3,12", "4,5,6,+717"
    Box label;                          // black box with the text in white
};

// A line of white text and the box its characters fill.
struct TextLine {
    std::string text;
    Box box;
};

struct Preview {
    Image image{kWidth, kHeight};
    std::vector<Finding> findings;  // in Problem's order, only those found
    std::vector<Mark> marks;        // in the order of their first objects
    // The legend's box (width 0 when nothing is wrong and there is no text)
    // and its lines, top to bottom: the verdict, what could not be read, and
    // one line a finding, each after a swatch of how it is drawn.
    Box legend;
    std::vector<TextLine> legendLines;
};

Preview render(const Scene& scene);

// The legend's words for a finding: "objects at one place: 2".
std::string describe(const Finding& finding);

// How a stored land colour is shown: as it is, or one level of blue away when
// it is the sky or the signal colour.
Rgb shownColour(Rgb stored);

}  // namespace bmp2land::preview
