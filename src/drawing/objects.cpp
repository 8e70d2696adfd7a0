#include "drawing/objects.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <optional>

namespace bmp2land::drawing {
namespace {

constexpr std::uint8_t kHalfOpaque = 128;
constexpr int kMagentaTint = 510;
// A blend is at least this much magenta, and lies this near (in every
// channel) to the mix of magenta and the colour around it.
constexpr double kLeastBlend = 0.1;
constexpr double kBlendTolerance = 48;

bool isMarker(const Rgba& p) {
    return p.red == kMagenta.red && p.green == kMagenta.green && p.blue == kMagenta.blue &&
           p.alpha >= kHalfOpaque;
}

// How magenta a colour is: 510 for magenta, and for a mix of a share t of
// magenta with a colour c, t * 510 + (1 - t) * tint(c).
int tint(const Rgba& p) {
    return p.red + p.blue - 2 * p.green;
}

// Whether `c` is a mix of magenta and `around`.
bool isBlend(const Rgba& c, const Rgba& around) {
    if (around.alpha < kHalfOpaque)
        return true;  // a blend into the sky becomes sky whatever it is
    const int base = tint(around);
    if (base >= kMagentaTint)
        return false;
    const double share = double(tint(c) - base) / double(kMagentaTint - base);
    if (share < kLeastBlend)
        return false;
    const auto near = [&](std::uint8_t got, std::uint8_t magenta, std::uint8_t under) {
        return std::abs(double(got) - (share * magenta + (1 - share) * under)) <= kBlendTolerance;
    };
    return near(c.red, kMagenta.red, around.red) && near(c.green, kMagenta.green, around.green) &&
           near(c.blue, kMagenta.blue, around.blue);
}

enum class State : std::uint8_t { Outside, Magenta, Blend, Around };

constexpr std::array<std::array<int, 2>, 8> kNeighbours = {
    {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}}};

// One blot, worked on in a window around its magenta pixels.
class Blot {
  public:
    Blot(std::vector<Rgba>& pixels, std::size_t width, std::size_t height,
         const std::vector<std::size_t>& magenta)
        : pixels_(pixels), width_(width), height_(height) {
        std::size_t x0 = width;
        std::size_t y0 = height;
        std::size_t x1 = 0;
        std::size_t y1 = 0;
        for (const std::size_t at : magenta) {
            x0 = std::min(x0, at % width);
            x1 = std::max(x1, at % width);
            y0 = std::min(y0, at / width);
            y1 = std::max(y1, at / width);
        }
        const std::size_t margin = kBlendReach + 1;
        left_ = x0 - std::min(x0, margin);
        top_ = y0 - std::min(y0, margin);
        columns_ = std::min(width - 1, x1 + margin) - left_ + 1;
        rows_ = std::min(height - 1, y1 + margin) - top_ + 1;
        state_.assign(columns_ * rows_, State::Outside);
        depth_.assign(columns_ * rows_, 0);
        for (const std::size_t at : magenta)
            state_[local(at)] = State::Magenta;
    }

    // Paints the blot over; returns how many pixels it had.
    std::size_t paintOver(const std::vector<std::size_t>& magenta) {
        growBlends(magenta);
        const std::vector<std::optional<std::size_t>> source = nearestAround();
        std::size_t painted = 0;
        for (std::size_t i = 0; i < state_.size(); ++i) {
            const bool magentaPixel = state_[i] == State::Magenta;
            if (!magentaPixel && state_[i] != State::Blend)
                continue;
            const std::size_t at = global(i);
            const Rgba around = source[i] ? pixels_[*source[i]] : Rgba{0, 0, 0, 0};
            if (!magentaPixel && !isBlend(pixels_[at], around))
                continue;  // a colour of its own that happens to lie beside the marker
            pixels_[at] = around;
            ++painted;
        }
        return painted;
    }

  private:
    [[nodiscard]] std::size_t local(std::size_t at) const {
        return (at / width_ - top_) * columns_ + (at % width_ - left_);
    }
    [[nodiscard]] std::size_t global(std::size_t i) const {
        return (top_ + i / columns_) * width_ + left_ + i % columns_;
    }

    // Calls `visit(neighbour's local index)` for each neighbour inside the window.
    template <typename Visit>
    void forNeighbours(std::size_t i, Visit visit) const {
        const auto x = static_cast<std::ptrdiff_t>(i % columns_);
        const auto y = static_cast<std::ptrdiff_t>(i / columns_);
        for (const auto& d : kNeighbours) {
            const std::ptrdiff_t nx = x + d[0];
            const std::ptrdiff_t ny = y + d[1];
            if (nx >= 0 && ny >= 0 && nx < static_cast<std::ptrdiff_t>(columns_) &&
                ny < static_cast<std::ptrdiff_t>(rows_))
                visit(static_cast<std::size_t>(ny) * columns_ + static_cast<std::size_t>(nx));
        }
    }

    // Takes in the pixels that grow less magenta step by step away from the
    // magenta ones, up to kBlendReach steps: where a blend would be.
    void growBlends(const std::vector<std::size_t>& magenta) {
        std::deque<std::size_t> queue;
        for (const std::size_t at : magenta)
            queue.push_back(local(at));
        while (!queue.empty()) {
            const std::size_t i = queue.front();
            queue.pop_front();
            if (depth_[i] >= kBlendReach)
                continue;
            const Rgba& from = pixels_[global(i)];
            forNeighbours(i, [&](std::size_t n) {
                const Rgba& p = pixels_[global(n)];
                if (state_[n] != State::Outside || p.alpha < kHalfOpaque || isMarker(p) ||
                    tint(p) >= tint(from))
                    return;
                state_[n] = State::Blend;
                depth_[n] = static_cast<std::uint8_t>(depth_[i] + 1);
                queue.push_back(n);
            });
        }
    }

    // For each pixel of the blot, the nearest pixel around it that belongs
    // to no blot; none when the blot leaves none.
    [[nodiscard]] std::vector<std::optional<std::size_t>> nearestAround() {
        std::vector<std::optional<std::size_t>> source(state_.size());
        std::deque<std::size_t> queue;
        for (std::size_t i = 0; i < state_.size(); ++i) {
            if (state_[i] != State::Outside || isMarker(pixels_[global(i)]))
                continue;
            bool touches = false;
            forNeighbours(i, [&](std::size_t n) {
                touches = touches || state_[n] == State::Magenta || state_[n] == State::Blend;
            });
            if (touches) {
                state_[i] = State::Around;
                source[i] = global(i);
                queue.push_back(i);
            }
        }
        while (!queue.empty()) {
            const std::size_t i = queue.front();
            queue.pop_front();
            forNeighbours(i, [&](std::size_t n) {
                if ((state_[n] == State::Magenta || state_[n] == State::Blend) && !source[n]) {
                    source[n] = source[i];
                    queue.push_back(n);
                }
            });
        }
        return source;
    }

    std::vector<Rgba>& pixels_;
    std::size_t width_;
    std::size_t height_;
    std::size_t left_ = 0;
    std::size_t top_ = 0;
    std::size_t columns_ = 0;
    std::size_t rows_ = 0;
    std::vector<State> state_;
    std::vector<std::uint8_t> depth_;
};

// The magenta pixels connected to `start`, marking them seen.
std::vector<std::size_t> magentaGroup(const std::vector<Rgba>& pixels, std::size_t width,
                                      std::size_t height, std::size_t start,
                                      std::vector<bool>& seen) {
    std::vector<std::size_t> group = {start};
    seen[start] = true;
    for (std::size_t next = 0; next < group.size(); ++next) {
        const auto x = static_cast<std::ptrdiff_t>(group[next] % width);
        const auto y = static_cast<std::ptrdiff_t>(group[next] / width);
        for (const auto& d : kNeighbours) {
            const std::ptrdiff_t nx = x + d[0];
            const std::ptrdiff_t ny = y + d[1];
            if (nx < 0 || ny < 0 || nx >= static_cast<std::ptrdiff_t>(width) ||
                ny >= static_cast<std::ptrdiff_t>(height))
                continue;
            const std::size_t n =
                static_cast<std::size_t>(ny) * width + static_cast<std::size_t>(nx);
            if (!seen[n] && isMarker(pixels[n])) {
                seen[n] = true;
                group.push_back(n);
            }
        }
    }
    return group;
}

// The magenta pixel nearest the group's mean position.
std::size_t centreOf(const std::vector<std::size_t>& group, std::size_t width) {
    double sx = 0;
    double sy = 0;
    for (const std::size_t at : group) {
        sx += double(at % width);
        sy += double(at / width);
    }
    const double cx = sx / double(group.size());
    const double cy = sy / double(group.size());
    return *std::min_element(group.begin(), group.end(), [&](std::size_t a, std::size_t b) {
        const auto d = [&](std::size_t at) {
            const double dx = double(at % width) - cx;
            const double dy = double(at / width) - cy;
            return dx * dx + dy * dy;
        };
        return d(a) < d(b);
    });
}

}  // namespace

ObjectMarks takeObjects(std::vector<Rgba>& pixels, std::size_t width, std::size_t height) {
    ObjectMarks marks;
    std::vector<bool> seen(pixels.size(), false);
    for (std::size_t at = 0; at < pixels.size(); ++at) {
        if (seen[at] || !isMarker(pixels[at]))
            continue;
        const std::vector<std::size_t> group = magentaGroup(pixels, width, height, at, seen);
        marks.centres.push_back(centreOf(group, width));
        Blot blot(pixels, width, height, group);
        if (blot.paintOver(group) > 1)
            ++marks.fromBlots;
    }
    std::sort(marks.centres.begin(), marks.centres.end());
    return marks;
}

}  // namespace bmp2land::drawing
