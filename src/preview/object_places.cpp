#include "preview/object_places.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <limits>
#include <utility>

namespace bmp2land::preview {
namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

bool inPicture(Point p) {
    return p.x < kWidth && p.y < kHeight;
}

std::size_t pixelIndex(Point p) {
    return std::size_t{p.y} * kWidth + p.x;
}

// Each distinct position once, in the order of its first object. `grid` gets
// the place number of every position inside the picture.
std::vector<Place> gatherPlaces(std::span<const Point> objects, std::vector<std::uint32_t>& grid,
                                std::vector<Place>& outside, std::size_t& shared) {
    std::vector<Place> inside;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const Point p = objects[i];
        if (inPicture(p)) {
            std::uint32_t& slot = grid[pixelIndex(p)];
            if (slot == kNone) {
                slot = static_cast<std::uint32_t>(inside.size());
                inside.push_back({p, {}});
            } else {
                ++shared;
            }
            inside[slot].objects.push_back(i + 1);
            continue;
        }
        std::size_t k = 0;  // a linear search: such places are few
        while (k < outside.size() && !(outside[k].at == p))
            ++k;
        if (k == outside.size())
            outside.push_back({p, {}});
        else
            ++shared;
        outside[k].objects.push_back(i + 1);
    }
    return inside;
}

// The places beside `p`, left, right, above and below.
std::array<std::uint32_t, 4> neighbours(Point p, const std::vector<std::uint32_t>& grid) {
    const std::size_t at = pixelIndex(p);
    return {p.x > 0 ? grid[at - 1] : kNone, p.x + 1 < kWidth ? grid[at + 1] : kNone,
            p.y > 0 ? grid[at - kWidth] : kNone, p.y + 1 < kHeight ? grid[at + kWidth] : kNone};
}

// The places joined to place `start` side by side, `start` first.
std::vector<std::uint32_t> blotOf(std::uint32_t start, const std::vector<Place>& places,
                                  const std::vector<std::uint32_t>& grid, std::vector<bool>& seen) {
    std::vector<std::uint32_t> blot = {start};
    seen[start] = true;
    for (std::size_t next = 0; next < blot.size(); ++next) {
        for (const std::uint32_t n : neighbours(places[blot[next]].at, grid)) {
            if (n != kNone && !seen[n]) {
                seen[n] = true;
                blot.push_back(n);
            }
        }
    }
    return blot;
}

}  // namespace

ObjectPlaces arrangeObjects(std::span<const Point> objects) {
    ObjectPlaces result;
    std::vector<std::uint32_t> grid(kPixelCount, kNone);
    std::vector<Place> places = gatherPlaces(objects, grid, result.outside, result.shared);
    std::vector<bool> seen(places.size(), false);
    for (std::uint32_t i = 0; i < places.size(); ++i) {
        if (seen[i])
            continue;
        std::vector<std::uint32_t> blot = blotOf(i, places, grid, seen);
        if (blot.size() == 1) {
            result.alone.push_back(std::move(places[i]));
            continue;
        }
        result.touching += blot.size();
        std::sort(blot.begin(), blot.end());
        std::vector<Place>& group = result.blots.emplace_back();
        std::transform(blot.begin(), blot.end(), std::back_inserter(group),
                       [&](std::uint32_t k) { return std::move(places[k]); });
    }
    return result;
}

}  // namespace bmp2land::preview
