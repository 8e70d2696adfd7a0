#include "landinfo/uncoloured_land_report.hpp"

#include <cstddef>
#include <utility>
#include <vector>

#include "common/formatted.hpp"
#include "landinfo/counted.hpp"

namespace bmp2land::landinfo {
namespace {

// Runs beyond these are counted, not listed: a dithered picture uses every
// other entry.
constexpr std::size_t kListedRuns = 8;

// "a", "a and b", "a, b and c".
std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += i + 1 == items.size() ? " and " : ", ";
        text += items[i];
    }
    return text;
}

// "entry 254", "entries 96 to 120 and 254": the entries used, in runs.
std::string entriesText(const std::array<bool, 256>& used) {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    std::size_t total = 0;
    for (std::size_t entry = 0; entry < used.size(); ++entry) {
        if (!used[entry])
            continue;
        ++total;
        if (!runs.empty() && runs.back().second + 1 == entry)
            runs.back().second = entry;
        else
            runs.emplace_back(entry, entry);
    }
    std::vector<std::string> items;
    std::size_t listed = 0;
    for (std::size_t i = 0; i < runs.size() && i < kListedRuns; ++i) {
        const auto [first, last] = runs[i];
        items.push_back(first == last ? std::to_string(first)
                                      : formatted("%zu to %zu", first, last));
        listed += last - first + 1;
    }
    if (listed < total)
        items.push_back(counted(total - listed, "other", "others"));
    return (total == 1 ? "entry " : "entries ") + joined(items);
}

// "at 7, 101, then 218, 101 and 429, 101".
std::string placesText(const std::vector<PixelPlace>& places) {
    std::vector<std::string> later;
    for (std::size_t i = 1; i < places.size(); ++i)
        later.push_back(formatted("%u, %u", places[i].x, places[i].y));
    std::string text = formatted("at %u, %u", places.front().x, places.front().y);
    if (!later.empty())
        text += ", then " + joined(later);
    return text;
}

std::string whereText(const UncolouredLand& land) {
    if (land.pixels <= kShownPlaces)
        return placesText(land.first);
    return formatted("in the box x %u to %u, y %u to %u (the first %s)", land.topLeft.x,
                     land.bottomRight.x, land.topLeft.y, land.bottomRight.y,
                     placesText(land.first).c_str());
}

}  // namespace

std::string uncolouredLandText(const UncolouredLand& land) {
    if (land.pixels == 0)
        return {};
    return formatted(
        "warning: %s of %s %s land whose colour the land file does not store, %s; such pixels "
        "are often a sky that became entry 254 when a paint program removed its transparency, or a "
        "grey picked by hand: repaint them with entries 1 to 95, or 0 for sky, or re-index a "
        "picture drawn in another palette with the level palette\n",
        counted(land.pixels, "pixel", "pixels").c_str(), entriesText(land.entries).c_str(),
        land.pixels == 1 ? "is" : "are", whereText(land).c_str());
}

}  // namespace bmp2land::landinfo
