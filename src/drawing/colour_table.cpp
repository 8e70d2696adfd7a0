#include "drawing/colour_table.hpp"

#include <algorithm>

namespace bmp2land::drawing {
namespace {

constexpr std::size_t kFirstSlots = 1024;

std::size_t spread(std::uint32_t rgb) {
    return static_cast<std::size_t>((std::uint64_t{rgb} * 0x9E3779B97F4A7C15ULL) >> 32);
}

}  // namespace

ColourTable::ColourTable() : slots_(kFirstSlots, ColourCount{kEmpty, 0}) {}

std::size_t ColourTable::slotOf(std::uint32_t rgb) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = spread(rgb) & mask;
    while (slots_[at].rgb != rgb && slots_[at].rgb != kEmpty)
        at = (at + 1) & mask;
    return at;
}

void ColourTable::add(std::uint32_t rgb) {
    std::size_t at = slotOf(rgb);
    if (slots_[at].rgb == kEmpty) {
        // Kept at most three quarters full, so that probes stay short.
        if (4 * (size_ + 1) > 3 * slots_.size()) {
            grow();
            at = slotOf(rgb);
        }
        slots_[at].rgb = rgb;
        ++size_;
    }
    ++slots_[at].count;
}

std::size_t ColourTable::find(std::uint32_t rgb) const {
    return slotOf(rgb);
}

void ColourTable::grow() {
    std::vector<ColourCount> old(slots_.size() * 2, ColourCount{kEmpty, 0});
    old.swap(slots_);
    for (const ColourCount& c : old) {
        if (c.rgb != kEmpty)
            slots_[slotOf(c.rgb)] = c;
    }
}

std::vector<ColourCount> ColourTable::colours() const {
    std::vector<ColourCount> list;
    list.reserve(size_);
    std::copy_if(slots_.begin(), slots_.end(), std::back_inserter(list),
                 [](const ColourCount& c) { return c.rgb != kEmpty; });
    std::sort(list.begin(), list.end(),
              [](const ColourCount& a, const ColourCount& b) { return a.rgb < b.rgb; });
    return list;
}

}  // namespace bmp2land::drawing
