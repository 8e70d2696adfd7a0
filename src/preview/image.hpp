#pragma once

// An RGB picture to draw on, and the rectangles drawing is placed by.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "preview/scene.hpp"

namespace bmp2land::preview {

struct Box {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;

    std::int64_t right() const { return left + width; }  // one past the last column
    std::int64_t bottom() const { return top + height; }
    bool contains(std::int64_t x, std::int64_t y) const {
        return x >= left && x < right() && y >= top && y < bottom();
    }
    bool overlaps(const Box& other) const {
        return left < other.right() && other.left < right() && top < other.bottom() &&
               other.top < bottom();
    }
    bool operator==(const Box&) const = default;
};

// Three bytes a pixel, red, green and blue, top row first: what a PNG encoder
// takes. Drawing outside the picture is clipped.
class Image {
  public:
    Image(std::uint32_t width, std::uint32_t height)
        : width_(width), height_(height), rgb_(std::size_t{width} * height * 3) {}

    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }
    const std::vector<std::uint8_t>& rgb() const { return rgb_; }

    bool inside(std::int64_t x, std::int64_t y) const {
        return x >= 0 && y >= 0 && x < std::int64_t{width_} && y < std::int64_t{height_};
    }
    Rgb at(std::uint32_t x, std::uint32_t y) const {
        const std::size_t i = offset(x, y);
        return {rgb_[i], rgb_[i + 1], rgb_[i + 2]};
    }
    void set(std::int64_t x, std::int64_t y, Rgb colour) {
        if (!inside(x, y))
            return;
        const std::size_t i = offset(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
        rgb_[i] = colour.red;
        rgb_[i + 1] = colour.green;
        rgb_[i + 2] = colour.blue;
    }
    // Row `y`'s samples, for drawing a whole picture quickly; y < height().
    std::span<std::uint8_t> row(std::uint32_t y) {
        return std::span(rgb_).subspan(offset(0, y), std::size_t{width_} * 3);
    }
    void fill(const Box& box, Rgb colour) {
        const std::int64_t top = std::max<std::int64_t>(box.top, 0);
        const std::int64_t bottom = std::min<std::int64_t>(box.bottom(), height_);
        const std::int64_t left = std::max<std::int64_t>(box.left, 0);
        const std::int64_t right = std::min<std::int64_t>(box.right(), width_);
        for (std::int64_t y = top; y < bottom; ++y) {
            for (std::int64_t x = left; x < right; ++x)
                set(x, y, colour);
        }
    }

  private:
    std::size_t offset(std::uint32_t x, std::uint32_t y) const {
        return (std::size_t{y} * width_ + x) * 3;
    }

    std::uint32_t width_;
    std::uint32_t height_;
    std::vector<std::uint8_t> rgb_;
};

}  // namespace bmp2land::preview
