#include "landinfo/uncoloured_land.hpp"

#include <algorithm>

#include "land/land_model.hpp"

namespace bmp2land::landinfo {
namespace {

// 1 for the entries that have no colour in a land file. Each row is counted
// by lookups, not by a compare for each pixel, which the fuzzers' tracing
// makes slow; only rows that hold some are looked into.
constexpr std::array<std::uint8_t, 256> noColourTable() {
    std::array<std::uint8_t, 256> table{};
    for (std::size_t entry = land::kColourCount + 1; entry < land::kMarkerIndex; ++entry)
        table[entry] = 1;
    return table;
}
constexpr std::array<std::uint8_t, 256> kNoColour = noColourTable();

bool hasNoColour(std::uint8_t entry) {
    return kNoColour[entry] != 0;
}

// Counts a row's pixels without a colour and marks every entry it uses.
std::size_t countRow(Bytes row, std::array<std::uint8_t, 256>& used) {
    std::size_t count = 0;
    for (const std::uint8_t entry : row) {
        count += kNoColour[entry];
        used[entry] = 1;
    }
    return count;
}

// Widens the box by row `y`, which holds some, and takes its first places
// while fewer than the few shown are taken.
void addRow(Bytes row, std::uint32_t y, UncolouredLand& found) {
    std::uint32_t left = 0;
    while (!hasNoColour(row[left]))
        ++left;
    auto right = static_cast<std::uint32_t>(row.size() - 1);
    while (!hasNoColour(row[right]))
        --right;
    const bool first = found.first.empty();
    found.topLeft = {first ? left : std::min(found.topLeft.x, left), first ? y : found.topLeft.y};
    found.bottomRight = {std::max(found.bottomRight.x, right), y};
    for (std::uint32_t x = left; x <= right && found.first.size() < kShownPlaces; ++x) {
        if (hasNoColour(row[x]))
            found.first.push_back({x, y});
    }
}

}  // namespace

UncolouredLand findUncolouredLand(Bytes picture) {
    UncolouredLand found;
    std::array<std::uint8_t, 256> used{};
    std::uint32_t y = 0;
    for (std::size_t start = 0; start + land::kWidth <= picture.size(); start += land::kWidth) {
        const Bytes row = picture.subspan(start, land::kWidth);
        const std::size_t inRow = countRow(row, used);
        if (inRow > 0) {
            addRow(row, y, found);
            found.pixels += inRow;
        }
        ++y;
    }
    for (std::size_t entry = 0; entry < used.size(); ++entry)
        found.entries[entry] = used[entry] != 0 && hasNoColour(static_cast<std::uint8_t>(entry));
    return found;
}

}  // namespace bmp2land::landinfo
