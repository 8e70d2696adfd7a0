#pragma once

// The distinct colours of a picture with their pixel counts: an open-addressed
// table of packed RGB, as small as the colours are few (a drawing of a few
// thousand colours takes a few hundred kilobytes, a photograph's 1.3 million
// at most 16 MiB).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/rgba.hpp"

namespace bmp2land::drawing {

inline std::uint32_t packRgb(const Rgba& c) {
    return std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue;
}

inline Rgba unpackRgb(std::uint32_t v) {
    return Rgba{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                static_cast<std::uint8_t>(v), kOpaque};
}

struct ColourCount {
    std::uint32_t rgb = 0;
    std::uint32_t count = 0;
};

class ColourTable {
  public:
    ColourTable();

    // Counts one more pixel of `rgb`.
    void add(std::uint32_t rgb);
    // The slot of a colour that was added; its count, then its value.
    [[nodiscard]] std::size_t find(std::uint32_t rgb) const;
    [[nodiscard]] std::uint32_t& value(std::size_t slot) { return slots_[slot].count; }

    [[nodiscard]] std::size_t size() const { return size_; }
    // The colours and counts, in ascending order of colour.
    [[nodiscard]] std::vector<ColourCount> colours() const;

  private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFU;  // no 24-bit colour
    [[nodiscard]] std::size_t slotOf(std::uint32_t rgb) const;
    void grow();

    std::vector<ColourCount> slots_;
    std::size_t size_ = 0;
};

}  // namespace bmp2land::drawing
