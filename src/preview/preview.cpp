#include "preview/preview.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <numeric>
#include <optional>
#include <string_view>
#include <utility>

#include "preview/bitmap_font.hpp"
#include "preview/object_places.hpp"

namespace bmp2land::preview {
namespace {

constexpr std::size_t kLastStoredEntry = kLandColours;  // 95
constexpr std::uint8_t kObjectEntry = 255;
constexpr std::int64_t kLineHeight = font::kGlyphHeight * kTextScale + 4;
constexpr std::int64_t kLegendMargin = 8;   // from the picture's edges
constexpr std::int64_t kLegendPadding = 8;  // inside its box
constexpr std::int64_t kSwatchSize = 12;
constexpr std::int64_t kSwatchGap = 8;
constexpr std::int64_t kLegendTextWidth = 1080;  // the longest line, wrapped at spaces
constexpr std::size_t kLabelledObjects = 3;      // a label lists this many numbers, then "+N"

std::string counted(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

Rgb unknownAt(std::size_t x, std::size_t y) {
    return (x + y) / 4 % 2 == 0 ? kUnknownColour : kUnknownStripeColour;
}

struct PictureCounts {
    std::size_t unstored = 0;
    std::size_t objectColour = 0;
    std::size_t maskDisagrees = 0;
    std::size_t unread = 0;
};

// Land, sky, pixels with no stored colour and those not read at all.
PictureCounts paintPicture(const Scene& scene, Image& image) {
    std::array<Rgb, 256> shown{};
    shown.fill(kSignalColour);
    shown[0] = kSkyColour;
    for (std::size_t i = 0; i < kLandColours; ++i)
        shown[i + 1] = shownColour(scene.colours[i]);

    std::array<std::size_t, 256> entries{};
    const std::size_t known = std::min(scene.picture.size(), kPixelCount);
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        const std::span<std::uint8_t> row = image.row(y);
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            const std::size_t k = std::size_t{y} * kWidth + x;
            Rgb colour = unknownAt(x, y);
            if (k < known) {
                colour = shown[scene.picture[k]];
                ++entries[scene.picture[k]];
            }
            const std::size_t at = std::size_t{x} * 3;
            row[at] = colour.red;
            row[at + 1] = colour.green;
            row[at + 2] = colour.blue;
        }
    }
    PictureCounts counts;
    counts.unstored =
        std::accumulate(entries.begin() + kLastStoredEntry + 1, entries.end() - 1, std::size_t{0});
    counts.objectColour = entries[kObjectEntry];
    counts.unread = kPixelCount - known;

    const std::size_t flagged = std::min(scene.maskDisagrees.size(), kPixelCount);
    for (std::size_t k = 0; k < flagged; ++k) {
        if (scene.maskDisagrees[k] != 0) {
            image.set(static_cast<std::int64_t>(k % kWidth), static_cast<std::int64_t>(k / kWidth),
                      kSignalColour);
            ++counts.maskDisagrees;
        }
    }
    return counts;
}

std::string labelText(const std::vector<std::size_t>& numbers) {
    std::string text;
    for (std::size_t i = 0; i < std::min(numbers.size(), kLabelledObjects); ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(numbers[i]);
    }
    if (numbers.size() > kLabelledObjects)
        text += ",+" + std::to_string(numbers.size() - kLabelledObjects);
    return text;
}

std::int64_t reachOf(const Mark& mark) {
    return mark.radius + (kRingReach - kRingRadius);
}

// The square a ring is drawn in.
Box ringBox(const Mark& mark) {
    const std::int64_t reach = reachOf(mark);
    return {std::int64_t{mark.centre.x} - reach, std::int64_t{mark.centre.y} - reach, 2 * reach + 1,
            2 * reach + 1};
}

// Right of the ring, left, above and below, each moved inside the picture.
std::array<Box, 4> labelPlaces(const Mark& mark, std::int64_t width, std::int64_t height) {
    const std::int64_t x = mark.centre.x;
    const std::int64_t y = mark.centre.y;
    const std::int64_t gap = reachOf(mark) + 2;
    std::array<Box, 4> places = {{
        {x + gap, y - height / 2, width, height},
        {x - gap - width, y - height / 2, width, height},
        {x - width / 2, y - gap - height, width, height},
        {x - width / 2, y + gap, width, height},
    }};
    for (Box& box : places) {
        box.left = std::clamp<std::int64_t>(box.left, 0, kWidth - width);
        box.top = std::clamp<std::int64_t>(box.top, 0, kHeight - height);
    }
    return places;
}

// Each label where it hides the fewest rings and earlier labels, its own ring
// included: right of the ring where that is free, so that an object at the
// right edge has its number on the inner side. Past kCrowded marks only the
// own ring is avoided, which keeps a picture of thousands of objects quick.
void placeLabels(std::vector<Mark>& marks) {
    constexpr std::size_t kCrowded = 2000;
    std::vector<Box> taken;
    std::transform(marks.begin(), marks.end(), std::back_inserter(taken), ringBox);
    for (Mark& m : marks) {
        const std::array<Box, 4> places =
            labelPlaces(m, font::textWidth(m.text, kTextScale) + 2 * kLabelPadding,
                        font::textHeight(kTextScale) + 2 * kLabelPadding);
        const std::vector<Box> own = {ringBox(m)};
        const std::vector<Box>& avoided = marks.size() > kCrowded ? own : taken;
        const auto hidden = [&](const Box& label) {
            return std::count_if(avoided.begin(), avoided.end(),
                                 [&](const Box& b) { return b.overlaps(label); });
        };
        m.label = *std::min_element(places.begin(), places.end(), [&](const Box& a, const Box& b) {
            return hidden(a) < hidden(b);
        });
        taken.push_back(m.label);
    }
}

Mark makeMark(Point centre, std::int64_t radius, bool signal, std::vector<std::size_t> objects) {
    Mark mark{centre, radius, signal, std::move(objects), {}, {}};
    mark.text = labelText(mark.objects);
    return mark;
}

// One ring around the whole blot, its pixels shown in the signal colour.
Mark blotMark(const std::vector<Place>& blot, Image& image) {
    Point low = blot.front().at;
    Point high = low;
    std::vector<std::size_t> objects;
    for (const Place& place : blot) {
        low = {std::min(low.x, place.at.x), std::min(low.y, place.at.y)};
        high = {std::max(high.x, place.at.x), std::max(high.y, place.at.y)};
        objects.insert(objects.end(), place.objects.begin(), place.objects.end());
        image.set(place.at.x, place.at.y, kSignalColour);
    }
    std::sort(objects.begin(), objects.end());
    const double halfWidth = (high.x - low.x) / 2.0;
    const double halfHeight = (high.y - low.y) / 2.0;
    const auto spread = static_cast<std::int64_t>(std::ceil(std::hypot(halfWidth, halfHeight)));
    return makeMark({(low.x + high.x) / 2, (low.y + high.y) / 2}, spread + kRingRadius, true,
                    std::move(objects));
}

std::vector<Mark> placeMarks(const ObjectPlaces& places, Image& image) {
    std::vector<Mark> marks;
    std::transform(places.alone.begin(), places.alone.end(), std::back_inserter(marks),
                   [](const Place& p) {
                       return makeMark(p.at, kRingRadius, p.objects.size() > 1, p.objects);
                   });
    std::transform(places.blots.begin(), places.blots.end(), std::back_inserter(marks),
                   [&](const std::vector<Place>& blot) { return blotMark(blot, image); });
    for (const Place& p : places.outside) {
        const Point edge = {std::min(p.at.x, kWidth - 1), std::min(p.at.y, kHeight - 1)};
        marks.push_back(makeMark(edge, kRingRadius, true, p.objects));
    }
    std::sort(marks.begin(), marks.end(),
              [](const Mark& a, const Mark& b) { return a.objects.front() < b.objects.front(); });
    placeLabels(marks);
    return marks;
}

// A band three pixels wide around `radius`, edged by a pixel of black on
// each side; distances are compared in half pixels, squared.
void drawRing(Image& image, const Mark& mark, Rgb colour) {
    const Point centre = mark.centre;
    const std::int64_t radius = mark.radius;
    const std::int64_t reach = reachOf(mark);
    const auto square = [](std::int64_t v) { return v * v; };
    for (std::int64_t dy = -reach; dy <= reach; ++dy) {
        for (std::int64_t dx = -reach; dx <= reach; ++dx) {
            const std::int64_t d = 4 * (dx * dx + dy * dy);
            const std::int64_t x = std::int64_t{centre.x} + dx;
            const std::int64_t y = std::int64_t{centre.y} + dy;
            if (d >= square(2 * radius - 3) && d <= square(2 * radius + 3))
                image.set(x, y, colour);
            else if (d >= square(2 * radius - 5) && d <= square(2 * radius + 5))
                image.set(x, y, kOutlineColour);
        }
    }
}

void drawMarks(const std::vector<Mark>& marks, Image& image) {
    for (const Mark& m : marks)
        drawRing(image, m, m.signal ? kSignalColour : kRingColour);
    for (const Mark& m : marks) {  // over every ring, so that no ring hides a number
        image.fill(m.label, kOutlineColour);
        font::drawText(image, m.label.left + kLabelPadding, m.label.top + kLabelPadding, m.text,
                       kTextScale, kTextColour);
    }
}

// Pixels of 255 at an object's own place: converted, they are that object,
// not one more.
std::size_t objectEntriesAtObjects(const Scene& scene, const ObjectPlaces& places) {
    const auto atObject = [&](const Place& p) {
        const std::size_t k = std::size_t{p.at.y} * kWidth + p.at.x;
        return k < scene.picture.size() && scene.picture[k] == kObjectEntry;
    };
    auto n =
        static_cast<std::size_t>(std::count_if(places.alone.begin(), places.alone.end(), atObject));
    for (const std::vector<Place>& blot : places.blots)
        n += static_cast<std::size_t>(std::count_if(blot.begin(), blot.end(), atObject));
    return n;
}

std::vector<Finding> findings(const PictureCounts& counts, const ObjectPlaces& places) {
    const std::array<Finding, 7> all = {{
        {Problem::UnstoredColours, counts.unstored},
        {Problem::ObjectColour, counts.objectColour},
        {Problem::TouchingObjects, places.touching},
        {Problem::SharedPlaces, places.shared},
        {Problem::MaskDisagrees, counts.maskDisagrees},
        {Problem::OutsidePositions,
         [&] {
             std::size_t n = 0;
             for (const Place& p : places.outside)
                 n += p.objects.size();
             return n;
         }()},
        {Problem::NotRead, counts.unread},
    }};
    std::vector<Finding> found;
    std::copy_if(all.begin(), all.end(), std::back_inserter(found),
                 [](const Finding& f) { return f.count > 0; });
    return found;
}

// `text` broken at spaces into lines of at most `columns` characters; a word
// longer than that is cut.
std::vector<std::string> wrap(std::string_view text, std::size_t columns) {
    std::vector<std::string> lines;
    std::string line;
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        std::string_view word = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view{} : text.substr(space + 1);
        while (word.size() > columns) {
            if (!line.empty())
                lines.push_back(std::exchange(line, {}));
            lines.emplace_back(word.substr(0, columns));
            word.remove_prefix(columns);
        }
        if (!line.empty() && line.size() + 1 + word.size() > columns)
            lines.push_back(std::exchange(line, {}));
        if (!line.empty())
            line += ' ';
        line += word;
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

struct LegendLine {
    std::string text;
    std::optional<Problem> swatch;
};

std::vector<LegendLine> legendLines(const Scene& scene, const std::vector<Finding>& found) {
    const auto columns =
        static_cast<std::size_t>(kLegendTextWidth / (std::int64_t{font::kAdvance} * kTextScale));
    std::vector<LegendLine> lines;
    std::vector<const std::string*> texts = {&scene.verdict, &scene.unreadable};
    std::transform(scene.notes.begin(), scene.notes.end(), std::back_inserter(texts),
                   [](const std::string& note) { return &note; });
    for (const std::string* text : texts) {
        std::vector<std::string> wrapped = wrap(*text, columns);
        std::transform(wrapped.begin(), wrapped.end(), std::back_inserter(lines),
                       [](std::string& line) {
                           return LegendLine{std::move(line), std::nullopt};
                       });
    }
    std::transform(found.begin(), found.end(), std::back_inserter(lines), [](const Finding& f) {
        return LegendLine{describe(f), f.problem};
    });
    const auto fitting =
        static_cast<std::size_t>((kHeight - 2 * (kLegendMargin + kLegendPadding)) / kLineHeight);
    lines.resize(std::min(lines.size(), fitting));
    return lines;
}

Box legendSize(const std::vector<LegendLine>& lines) {
    std::int64_t width = 0;
    for (const LegendLine& line : lines) {
        const std::int64_t swatch = line.swatch ? kSwatchSize + kSwatchGap : 0;
        width = std::max(width, swatch + font::textWidth(line.text, kTextScale));
    }
    return {0, 0, width + 2 * kLegendPadding,
            static_cast<std::int64_t>(lines.size()) * kLineHeight + 2 * kLegendPadding - 4};
}

// The corner where the box hides the fewest rings and labels; the top left
// where several tie.
Box legendPlace(Box box, const std::vector<Mark>& marks) {
    const std::array<Box, 4> corners = {{
        {kLegendMargin, kLegendMargin, box.width, box.height},
        {kWidth - kLegendMargin - box.width, kLegendMargin, box.width, box.height},
        {kLegendMargin, kHeight - kLegendMargin - box.height, box.width, box.height},
        {kWidth - kLegendMargin - box.width, kHeight - kLegendMargin - box.height, box.width,
         box.height},
    }};
    const auto hidden = [&](const Box& corner) {
        return std::count_if(marks.begin(), marks.end(), [&](const Mark& m) {
            return corner.overlaps(ringBox(m)) || corner.overlaps(m.label);
        });
    };
    return *std::min_element(corners.begin(), corners.end(),
                             [&](const Box& a, const Box& b) { return hidden(a) < hidden(b); });
}

void drawSwatch(Image& image, const Box& swatch, Problem problem) {
    for (std::int64_t y = swatch.top; y < swatch.bottom(); ++y) {
        for (std::int64_t x = swatch.left; x < swatch.right(); ++x) {
            image.set(x, y,
                      problem == Problem::NotRead
                          ? unknownAt(static_cast<std::size_t>(x), static_cast<std::size_t>(y))
                          : kSignalColour);
        }
    }
}

std::vector<TextLine> drawLegend(const std::vector<LegendLine>& lines, const Box& box,
                                 Image& image) {
    image.fill(box, kTextColour);
    image.fill({box.left + 1, box.top + 1, box.width - 2, box.height - 2}, kLegendColour);
    std::vector<TextLine> drawn;
    std::int64_t top = box.top + kLegendPadding;
    for (const LegendLine& line : lines) {
        std::int64_t left = box.left + kLegendPadding;
        if (line.swatch) {
            drawSwatch(image, {left, top + 2, kSwatchSize, kSwatchSize}, *line.swatch);
            left += kSwatchSize + kSwatchGap;
        }
        font::drawText(image, left, top, line.text, kTextScale, kTextColour);
        drawn.push_back(
            {line.text,
             {left, top, font::textWidth(line.text, kTextScale), font::textHeight(kTextScale)}});
        top += kLineHeight;
    }
    return drawn;
}

}  // namespace

Rgb shownColour(Rgb stored) {
    if (stored == kSkyColour || stored == kSignalColour)
        stored.blue = static_cast<std::uint8_t>(stored.blue > 0 ? stored.blue - 1 : 1);
    return stored;
}

std::string describe(const Finding& f) {
    switch (f.problem) {
        case Problem::UnstoredColours:
            return "colours 96 to 254, not stored: " + counted(f.count, "pixel", "pixels");
        case Problem::ObjectColour:
            return "colour 255, objects once converted: " + counted(f.count, "pixel", "pixels");
        case Problem::TouchingObjects:
            return "object pixels that touch (a brush blot): " + std::to_string(f.count);
        case Problem::SharedPlaces:
            return "objects at the place of an earlier one: " + std::to_string(f.count);
        case Problem::MaskDisagrees:
            return "mask differs from the picture: " + counted(f.count, "pixel", "pixels");
        case Problem::OutsidePositions:
            return "objects outside the picture, shown at its edge: " + std::to_string(f.count);
        case Problem::NotRead:
            return "not read (striped): " + counted(f.count, "pixel", "pixels");
    }
    return {};
}

Preview render(const Scene& scene) {
    Preview preview;
    PictureCounts counts = paintPicture(scene, preview.image);
    const ObjectPlaces places = arrangeObjects(scene.objects);
    counts.objectColour -= objectEntriesAtObjects(scene, places);
    preview.marks = placeMarks(places, preview.image);
    drawMarks(preview.marks, preview.image);
    preview.findings = findings(counts, places);

    const std::vector<LegendLine> lines = legendLines(scene, preview.findings);
    if (lines.empty())
        return preview;
    preview.legend = legendPlace(legendSize(lines), preview.marks);
    preview.legendLines = drawLegend(lines, preview.legend, preview.image);
    return preview;
}

}  // namespace bmp2land::preview
