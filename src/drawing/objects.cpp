#include "drawing/objects.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <limits>
#include <optional>

#include "drawing/colour_table.hpp"

namespace bmp2land::drawing {
namespace {

constexpr std::uint8_t kHalfOpaque = 128;
constexpr int kMagentaTint = 510;
// A blend lies this near (in every channel) to the mix of magenta and the
// colour around it that its tint gives: paint programs that mix in linear
// light stray from a straight mix by up to about this much.
constexpr int kBlendTolerance = 48;
// Some pixel next to the magenta is a tenth magenta at least, or the marker
// was painted with a hard brush and has no blend at all.
constexpr double kLeastFirstBlend = 0.1;
// The colours around one blot that a blend is tried against.
constexpr std::size_t kMostColoursAround = 64;
// The colours of a blot's window that a faint mix is traced back to.
constexpr std::size_t kMostWindowColours = 64;
// A blurred or airbrushed marker fades out further than its blends reach:
// a faint mix, magenta in a few hundredths, up to this many pixels beyond.
constexpr std::size_t kTailReach = 12;
// The most magenta a faint mix holds; land of two colours where one is a
// stronger mix of magenta into the other is land, not a marker's edge.
constexpr double kMostFaintShare = 0.25;

bool isOpaque(const Rgba& p) {
    return p.alpha >= kHalfOpaque;
}

// Magenta, or near it, less than half opaque: a soft brush's edge over a
// transparent sky, which is sky.
bool isFaintMarker(const Rgba& p) {
    return !isOpaque(p) && isMarker(Rgba{p.red, p.green, p.blue, kOpaque});
}

// How magenta a colour is: 510 for magenta, and for a mix of a share t of
// magenta into a colour c, t * 510 + (1 - t) * tint(c).
int tint(const Rgba& p) {
    return p.red + p.blue - 2 * p.green;
}

struct Mix {
    double share = 0;                             // of magenta
    int error = std::numeric_limits<int>::max();  // the largest channel's distance from the mix
};

// Mixing magenta in never lowers red or blue, nor raises green, whether it
// is mixed in linear light or not; by more than rounding, a colour is no mix.
constexpr int kRounding = 2;

bool mixesTowardsMagenta(const Rgba& c, const Rgba& under) {
    return c.red + kRounding >= under.red && c.blue + kRounding >= under.blue &&
           c.green <= under.green + kRounding;
}

// How well `c` is explained as some magenta mixed into `under`.
Mix mixOf(const Rgba& c, const Rgba& under) {
    const int base = tint(under);
    if (tint(c) <= base || base >= kMagentaTint || !mixesTowardsMagenta(c, under))
        return {};
    Mix mix;
    mix.share = double(tint(c) - base) / double(kMagentaTint - base);
    const auto off = [&](std::uint8_t got, std::uint8_t magenta, std::uint8_t was) {
        return static_cast<int>(
            std::lround(std::abs(double(got) - (mix.share * magenta + (1 - mix.share) * was))));
    };
    mix.error =
        std::max({off(c.red, kMagenta.red, under.red), off(c.green, kMagenta.green, under.green),
                  off(c.blue, kMagenta.blue, under.blue)});
    return mix;
}

bool isBlend(const Mix& mix) {
    return mix.error <= kBlendTolerance && mix.share > 0;
}

enum class State : std::uint8_t { Outside, Magenta, Blend };

constexpr std::array<std::array<int, 2>, 8> kNeighbours = {
    {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}}};

// Calls `visit(neighbour)` for each neighbour, at a side or a corner, of
// cell `at` of a grid `width` x `height` stored a row after another.
template <typename Visit>
void forNeighboursIn(std::size_t at, std::size_t width, std::size_t height, Visit visit) {
    const auto x = static_cast<std::ptrdiff_t>(at % width);
    const auto y = static_cast<std::ptrdiff_t>(at / width);
    for (const auto& d : kNeighbours) {
        const std::ptrdiff_t nx = x + d[0];
        const std::ptrdiff_t ny = y + d[1];
        if (nx >= 0 && ny >= 0 && nx < static_cast<std::ptrdiff_t>(width) &&
            ny < static_cast<std::ptrdiff_t>(height))
            visit(static_cast<std::size_t>(ny) * width + static_cast<std::size_t>(nx));
    }
}

// One blot, worked on in a window around its magenta pixels.
class Blot {
  public:
    Blot(std::vector<Rgba>& pixels, std::size_t width, std::size_t height,
         const std::vector<std::size_t>& magenta)
        : pixels_(pixels), width_(width), height_(height), x0_(width), y0_(height) {
        for (const std::size_t at : magenta) {
            x0_ = std::min(x0_, at % width);
            x1_ = std::max(x1_, at % width);
            y0_ = std::min(y0_, at / width);
            y1_ = std::max(y1_, at / width);
        }
        const std::size_t margin = kBlendReach + 1;
        left_ = x0_ - std::min(x0_, margin);
        top_ = y0_ - std::min(y0_, margin);
        columns_ = std::min(width - 1, x1_ + margin) - left_ + 1;
        rows_ = std::min(height - 1, y1_ + margin) - top_ + 1;
        state_.assign(columns_ * rows_, State::Outside);
        depth_.assign(columns_ * rows_, 0);
        for (const std::size_t at : magenta)
            state_[local(at)] = State::Magenta;
        order_.resize(magenta.size());
        std::transform(magenta.begin(), magenta.end(), order_.begin(),
                       [&](std::size_t at) { return local(at); });
    }

    struct Painted {
        std::size_t centre = 0;  // where the object is
        std::size_t pixels = 0;  // how many the blot had
    };

    // Paints the blot over. A blend takes the colour around the blot it
    // mixes magenta into; a magenta pixel, the colour of the nearest pixel
    // that is neither, or the sky where it was painted partly transparent,
    // over nothing.
    Painted paintOver() {
        growBlends();
        const std::size_t blends = settleBlends();
        const Painted painted{centre(), order_.size() - candidates_ + blends};
        if (soft_)
            paintTail();
        const std::vector<std::optional<Rgba>> around = nearestAround();
        clearFaintEdge();
        for (const std::size_t i : order_) {
            Rgba& p = pixels_[global(i)];
            if (state_[i] == State::Blend) {
                p = painted_[i];
            } else if (state_[i] == State::Magenta) {
                p = p.alpha < kOpaque ? Rgba{0, 0, 0, 0} : around[i].value_or(Rgba{0, 0, 0, 0});
            }
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
    [[nodiscard]] bool inBlot(std::size_t i) const { return state_[i] != State::Outside; }
    // The same for a pixel of the picture, which may lie outside the window.
    [[nodiscard]] bool inBlotAt(std::size_t at) const {
        const std::size_t x = at % width_;
        const std::size_t y = at / width_;
        return x >= left_ && y >= top_ && x < left_ + columns_ && y < top_ + rows_ &&
               inBlot(local(at));
    }

    // Calls `visit(neighbour)` for each neighbour of a pixel of the picture.
    template <typename Visit>
    void forPictureNeighbours(std::size_t at, Visit visit) const {
        forNeighboursIn(at, width_, height_, visit);
    }

    // Calls `visit(neighbour's local index)` for each neighbour inside the window.
    template <typename Visit>
    void forNeighbours(std::size_t i, Visit visit) const {
        forNeighboursIn(i, columns_, rows_, visit);
    }

    // The same for the neighbours at a side only.
    template <typename Visit>
    void forSides(std::size_t i, Visit visit) const {
        const std::size_t x = i % columns_;
        const std::size_t y = i / columns_;
        if (x > 0)
            visit(i - 1);
        if (x + 1 < columns_)
            visit(i + 1);
        if (y > 0)
            visit(i - columns_);
        if (y + 1 < rows_)
            visit(i + columns_);
    }

    // Takes in, as candidates, the opaque pixels that grow less magenta step
    // by step away from the magenta ones, up to kBlendReach steps.
    void growBlends() {
        for (std::size_t next = 0; next < order_.size(); ++next) {
            const std::size_t i = order_[next];
            if (depth_[i] >= kBlendReach)
                continue;
            const Rgba& from = pixels_[global(i)];
            forNeighbours(i, [&](std::size_t n) {
                const Rgba& p = pixels_[global(n)];
                if (inBlot(n) || !isOpaque(p) || isMarker(p) || tint(p) >= tint(from))
                    return;
                state_[n] = State::Blend;
                depth_[n] = static_cast<std::uint8_t>(depth_[i] + 1);
                order_.push_back(n);
            });
        }
        candidates_ = static_cast<std::size_t>(
            std::count_if(order_.begin(), order_.end(),
                          [&](std::size_t i) { return state_[i] == State::Blend; }));
    }

    [[nodiscard]] bool besideMagenta(std::size_t i) const {
        bool beside = false;
        forSides(i, [&](std::size_t n) { beside = beside || state_[n] == State::Magenta; });
        return beside;
    }

    // The opaque colours of the pixels that touch the blot from outside.
    [[nodiscard]] std::vector<Rgba> coloursAround() const {
        std::vector<Rgba> colours;
        for (const std::size_t b : order_) {
            if (!inBlot(b))
                continue;
            forNeighbours(b, [&](std::size_t i) {
                const Rgba& p = pixels_[global(i)];
                if (colours.size() < kMostColoursAround && !inBlot(i) && isOpaque(p) &&
                    !isMarker(p) && std::find(colours.begin(), colours.end(), p) == colours.end())
                    colours.push_back(p);
            });
        }
        return colours;
    }

    // Keeps the candidates that are a mix of magenta into a colour around
    // the blot, reached from the magenta through such mixes, and gives each
    // that colour; the rest leave the blot with their own. A marker is soft
    // only if every opaque pixel at a side of its magenta is such a mix, or
    // a colour around the blot that the brush left as it was, and one at
    // least is a tenth magenta or more: a brush's edge, soft or anti-aliased,
    // mixes some magenta into what it covers in part, while land of many
    // colours next to a hard marker has colours of its own there.
    // Returns how many were kept.
    std::size_t settleBlends() {
        const std::vector<Rgba> colours = coloursAround();
        painted_.assign(state_.size(), Rgba{});
        shares_.assign(state_.size(), 0);
        std::vector<Mix> mixes(state_.size());
        bool blended = false;  // a pixel at a side is a tenth magenta or more
        bool foreign = false;  // one is neither a mix nor a colour around
        for (const std::size_t i : order_) {
            if (state_[i] != State::Blend)
                continue;
            const Rgba& c = pixels_[global(i)];
            for (const Rgba& under : colours) {
                const Mix mix = mixOf(c, under);
                if (mix.error < mixes[i].error) {
                    mixes[i] = mix;
                    painted_[i] = under;
                }
            }
            if (!besideMagenta(i))
                continue;
            const bool around = std::find(colours.begin(), colours.end(), c) != colours.end();
            const bool mixed = !around && isBlend(mixes[i]);
            blended = blended || (mixed && mixes[i].share >= kLeastFirstBlend);
            foreign = foreign || !(around || mixed);
        }
        soft_ = blended && !foreign;
        const bool soft = soft_;
        std::size_t kept = 0;
        for (const std::size_t i : order_) {  // nearest the magenta first
            if (state_[i] != State::Blend)
                continue;
            bool reached = false;
            forNeighbours(i, [&](std::size_t n) {
                reached = reached || (inBlot(n) && depth_[n] + 1 == depth_[i]);
            });
            if (soft && reached && isBlend(mixes[i])) {
                shares_[i] = mixes[i].share;
                painted_[i] = underneath(painted_[i]);
                if (std::find(blendedInto_.begin(), blendedInto_.end(), painted_[i]) ==
                    blendedInto_.end())
                    blendedInto_.push_back(painted_[i]);
                ++kept;
            } else {
                state_[i] = State::Outside;
            }
        }
        soft_ = kept > 0;  // a hard marker, or one on land of its own colours, fades not
        takeColoursBeside();
        return kept;
    }

    // Mostly magenta, or mixed in linear light, a blend on an edge between
    // two colours may be explained better by the one across the edge: the
    // settled blends take the colour nearest them where they may be a mix
    // into it, so that the edge stays where it was.
    void takeColoursBeside() {
        const std::vector<std::optional<Rgba>> nearest = nearestOutside();
        for (const std::size_t i : order_) {
            if (state_[i] != State::Blend || !nearest[i] || *nearest[i] == painted_[i])
                continue;
            const Mix beside = mixOf(pixels_[global(i)], *nearest[i]);
            if (!isBlend(beside))
                continue;
            painted_[i] = underneath(*nearest[i]);
            if (std::find(blendedInto_.begin(), blendedInto_.end(), painted_[i]) ==
                blendedInto_.end())
                blendedInto_.push_back(painted_[i]);
        }
    }

    // The magenta pixel nearest the blot's middle: the mean place of its
    // pixels, each weighed by how much magenta it holds, so that a brush on
    // the edge of the land, more opaque on one side and mixed on the other,
    // is found where it was painted.
    [[nodiscard]] std::size_t centre() const {
        double sx = 0;
        double sy = 0;
        double total = 0;
        for (const std::size_t i : order_) {
            const double weight = state_[i] == State::Magenta
                                      ? pixels_[global(i)].alpha / double(kOpaque)
                                  : state_[i] == State::Blend ? shares_[i]
                                                              : 0;
            const std::size_t x = i % columns_;
            const std::size_t y = i / columns_;
            sx += weight * double(x);
            sy += weight * double(y);
            total += weight;
        }
        const double cx = sx / total;
        const double cy = sy / total;
        const auto distance = [&](std::size_t i) {
            const std::size_t x = i % columns_;
            const std::size_t y = i / columns_;
            const double dx = double(x) - cx;
            const double dy = double(y) - cy;
            return dx * dx + dy * dy;
        };
        std::size_t best = order_.front();
        for (const std::size_t i : order_) {
            if (state_[i] == State::Magenta && distance(i) < distance(best))
                best = i;
        }
        return global(best);
    }

    // The colours of the window, for underneath(): gathered once, and only
    // for a soft marker.
    const std::vector<Rgba>& windowColours() {
        if (!windowColours_.empty())
            return windowColours_;
        constexpr std::size_t kMargin = kBlendReach + kTailReach + 1;
        std::vector<std::uint32_t> packed;
        for (std::size_t y = y0_ - std::min(y0_, kMargin);
             y <= std::min(height_ - 1, y1_ + kMargin); ++y)
            for (std::size_t x = x0_ - std::min(x0_, kMargin);
                 x <= std::min(width_ - 1, x1_ + kMargin); ++x) {
                const Rgba& p = pixels_[y * width_ + x];
                if (isOpaque(p) && !isMarker(p))
                    packed.push_back(packRgb(p));
            }
        std::sort(packed.begin(), packed.end());
        std::vector<ColourCount> counted;
        for (const std::uint32_t rgb : packed) {
            if (counted.empty() || counted.back().rgb != rgb)
                counted.push_back({rgb, 0});
            ++counted.back().count;
        }
        const std::size_t kept = std::min(counted.size(), kMostWindowColours);
        std::partial_sort(
            counted.begin(), counted.begin() + static_cast<std::ptrdiff_t>(kept), counted.end(),
            [](const ColourCount& a, const ColourCount& b) { return a.count > b.count; });
        for (std::size_t k = 0; k < kept; ++k)
            windowColours_.push_back(unpackRgb(counted[k].rgb));
        return windowColours_;
    }

    // The colour that `c` is a faint mix of magenta into, all but exactly,
    // where the window has one; else `c`. A blurred marker's edge fades
    // through such mixes (1, 0, 1 on black; 61, 168, 51 on 60, 170, 50), and
    // the blends next to it mix into them: all take the colour underneath.
    Rgba underneath(const Rgba& c) {
        if (!soft_ || !isOpaque(c))
            return c;
        Rgba found = c;
        for (const Rgba& d : windowColours()) {
            if (tint(d) >= tint(found))
                continue;
            // Magenta mixed in raises red or blue: land shaded in green
            // alone, or black sky beside (0, 2, 0), is no mix however small
            // the change.
            const bool raised = c.red > d.red || c.blue > d.blue;
            const Mix mix = mixOf(c, d);
            if (raised && mix.share > 0 && mix.share <= kMostFaintShare && mix.error <= kRounding)
                found = Rgba{d.red, d.green, d.blue, c.alpha};
        }
        return found;
    }

    // Gives the faint mixes that go on from the blot outwards, pixel by
    // pixel, the colour underneath them, up to kBlendReach + kTailReach
    // pixels from the blot.
    void paintTail() {
        struct Step {
            std::size_t at;     // a pixel of the picture
            std::size_t steps;  // from the blot
        };
        std::deque<Step> queue;
        for (const std::size_t i : order_) {
            if (inBlot(i))
                queue.push_back({global(i), 0});
        }
        while (!queue.empty()) {
            const Step from = queue.front();
            queue.pop_front();
            if (from.steps == kBlendReach + kTailReach)
                continue;
            forPictureNeighbours(from.at, [&](std::size_t n) {
                Rgba& p = pixels_[n];
                if (inBlotAt(n) || isMarker(p))
                    return;
                const Rgba under = underneath(p);
                // No mix, painted already, or a mix into a colour the
                // blends were not: land of two colours, not a fading edge.
                if (under == p || std::find(blendedInto_.begin(), blendedInto_.end(), under) ==
                                      blendedInto_.end())
                    return;
                p = under;
                queue.push_back({n, from.steps + 1});
            });
        }
    }

    // Makes the brush's edge over a transparent sky, magenta less than half
    // opaque that goes on from the blot, sky.
    void clearFaintEdge() {
        std::vector<std::size_t> edge;  // pixels of the picture
        for (const std::size_t i : order_) {
            if (state_[i] == State::Magenta)
                edge.push_back(global(i));
        }
        for (std::size_t next = 0; next < edge.size(); ++next) {
            forPictureNeighbours(edge[next], [&](std::size_t n) {
                Rgba& p = pixels_[n];
                if (!inBlotAt(n) && isFaintMarker(p)) {
                    p = Rgba{0, 0, 0, 0};
                    edge.push_back(n);
                }
            });
        }
    }

    // For each pixel of the blot, the colour of the nearest opaque pixel
    // outside it that is no marker, in steps to a side: of two equally near
    // at a corner and at a side, the one at the side.
    [[nodiscard]] std::vector<std::optional<Rgba>> nearestOutside() const {
        std::vector<std::optional<Rgba>> colour(state_.size());
        std::deque<std::size_t> queue;
        for (std::size_t i = 0; i < state_.size(); ++i) {
            const Rgba& p = pixels_[global(i)];
            if (!inBlot(i) && isOpaque(p) && !isMarker(p)) {
                colour[i] = p;
                queue.push_back(i);
            }
        }
        while (!queue.empty()) {
            const std::size_t i = queue.front();
            queue.pop_front();
            forSides(i, [&](std::size_t n) {
                if (inBlot(n) && !colour[n]) {
                    colour[n] = colour[i];
                    queue.push_back(n);
                }
            });
        }
        return colour;
    }

    // For each magenta pixel, the colour of the nearest pixel outside the
    // blot or of a settled blend, as they will be painted.
    [[nodiscard]] std::vector<std::optional<Rgba>> nearestAround() {
        std::vector<std::optional<Rgba>> colour(state_.size());
        std::deque<std::size_t> queue;
        for (const std::size_t m : order_) {
            if (state_[m] != State::Magenta)
                continue;
            forNeighbours(m, [&](std::size_t i) {
                const Rgba& p = pixels_[global(i)];
                if (colour[i] || state_[i] == State::Magenta || isMarker(p))
                    return;
                colour[i] = state_[i] == State::Blend ? painted_[i]
                            : isFaintMarker(p)        ? Rgba{0, 0, 0, 0}
                                                      : underneath(p);
                queue.push_back(i);
            });
        }
        while (!queue.empty()) {
            const std::size_t i = queue.front();
            queue.pop_front();
            forNeighbours(i, [&](std::size_t n) {
                if (state_[n] == State::Magenta && !colour[n]) {
                    colour[n] = colour[i];
                    queue.push_back(n);
                }
            });
        }
        return colour;
    }

    std::vector<Rgba>& pixels_;
    std::size_t width_;
    std::size_t height_;
    std::size_t x0_;  // the magenta's bounds
    std::size_t y0_;
    std::size_t x1_ = 0;
    std::size_t y1_ = 0;
    std::size_t left_ = 0;
    std::size_t top_ = 0;
    std::size_t columns_ = 0;
    std::size_t rows_ = 0;
    std::vector<State> state_;
    std::vector<std::uint8_t> depth_;
    std::vector<std::size_t> order_;  // the magenta pixels, then candidates as they were found
    std::size_t candidates_ = 0;
    std::vector<Rgba> painted_;   // the colour each settled blend takes
    std::vector<double> shares_;  // and the share of magenta it held
    bool soft_ = false;           // the marker was painted with a soft brush, and blends
    std::vector<Rgba> windowColours_;
    std::vector<Rgba> blendedInto_;  // the colours the settled blends take
};

// The pixels that pass `test` connected to `start` (which does), marking
// them seen; in the order found, which starts on the top row of them.
template <typename Test>
std::vector<std::size_t> connectedGroup(const std::vector<Rgba>& pixels, std::size_t width,
                                        std::size_t height, std::size_t start,
                                        std::vector<bool>& seen, Test test) {
    std::vector<std::size_t> group = {start};
    seen[start] = true;
    for (std::size_t next = 0; next < group.size(); ++next) {
        forNeighboursIn(group[next], width, height, [&](std::size_t n) {
            if (!seen[n] && test(pixels[n])) {
                seen[n] = true;
                group.push_back(n);
            }
        });
    }
    return group;
}

// A colour of magenta's hue, red and blue well above green: a strong mix of
// magenta into anything, or a purple or pink of the drawing's own.
constexpr int kSpotLead = 64;
// A spot of such colours no wider or taller than this is a marker's size;
// larger ones are land of that colour.
constexpr std::size_t kSpotSize = 2 * (kBlendReach + kTailReach) + 1;

// Magenta less than half opaque, over a transparent sky: as sky, no object.
constexpr std::uint8_t kFaintest = 64;

bool isMagentaMix(const Rgba& p) {
    if (!isOpaque(p))
        return isFaintMarker(p) && p.alpha >= kFaintest;
    return p.red >= p.green + kSpotLead && p.blue >= p.green + kSpotLead &&
           std::abs(p.red - p.blue) <= kSpotLead;
}

struct Spot {
    std::size_t at = 0;  // its most magenta pixel
    bool markerSized = true;
};

// Each spot of magenta mixes left in `pixels`, top row first.
std::vector<Spot> magentaSpots(const std::vector<Rgba>& pixels, std::size_t width,
                               std::size_t height) {
    std::vector<Spot> spots;
    std::vector<bool> seen(pixels.size(), false);
    for (std::size_t at = 0; at < pixels.size(); ++at) {
        if (seen[at] || !isMagentaMix(pixels[at]))
            continue;
        const std::vector<std::size_t> group =
            connectedGroup(pixels, width, height, at, seen, isMagentaMix);
        const auto [left, right] = std::minmax_element(
            group.begin(), group.end(),
            [&](std::size_t a, std::size_t b) { return a % width < b % width; });
        const std::size_t bottom = *std::max_element(group.begin(), group.end());
        const std::size_t rows = bottom / width - at / width + 1;
        const bool markerSized =
            *right % width - *left % width + 1 <= kSpotSize && rows <= kSpotSize;
        spots.push_back({*std::max_element(group.begin(), group.end(),
                                           [&](std::size_t a, std::size_t b) {
                                               return tint(pixels[a]) < tint(pixels[b]);
                                           }),
                         markerSized});
    }
    std::sort(spots.begin(), spots.end(), [](const Spot& a, const Spot& b) { return a.at < b.at; });
    return spots;
}

}  // namespace

bool isMarker(const Rgba& p) {
    return kMagenta.red - p.red <= kMarkerTolerance && p.green <= kMarkerTolerance &&
           kMagenta.blue - p.blue <= kMarkerTolerance && isOpaque(p);
}

ObjectMarks takeObjects(std::vector<Rgba>& pixels, std::size_t width, std::size_t height) {
    ObjectMarks marks;
    std::vector<bool> seen(pixels.size(), false);
    for (std::size_t at = 0; at < pixels.size(); ++at) {
        if (seen[at] || !isMarker(pixels[at]))
            continue;
        const std::vector<std::size_t> group =
            connectedGroup(pixels, width, height, at, seen, isMarker);
        const bool nearOnly = std::none_of(group.begin(), group.end(), [&](std::size_t i) {
            return pixels[i].red == kMagenta.red && pixels[i].green == kMagenta.green &&
                   pixels[i].blue == kMagenta.blue;
        });
        if (nearOnly) {
            ++marks.nearMagentaObjects;
            marks.nearMagentaPixels += group.size();
        }
        const auto painted = Blot(pixels, width, height, group).paintOver();
        marks.centres.push_back(painted.centre);
        if (painted.pixels > 1)
            ++marks.fromBlots;
    }
    std::sort(marks.centres.begin(), marks.centres.end());
    // A spot within a marker's reach of an object is near enough to be
    // what its marker left.
    const auto besideAnObject = [&](std::size_t spot) {
        return std::any_of(marks.centres.begin(), marks.centres.end(), [&](std::size_t c) {
            const auto apart = [](std::size_t a, std::size_t b) { return a > b ? a - b : b - a; };
            return apart(spot % width, c % width) <= kSpotSize &&
                   apart(spot / width, c / width) <= kSpotSize;
        });
    };
    // Beside an object, what a marker too wide or too soft to take apart
    // left, whatever its size; elsewhere only a marker-sized spot is one,
    // and a larger one land of that colour.
    for (const Spot& spot : magentaSpots(pixels, width, height)) {
        if (besideAnObject(spot.at))
            marks.leftovers.push_back(spot.at);
        else if (spot.markerSized)
            marks.spots.push_back(spot.at);
    }
    return marks;
}

}  // namespace bmp2land::drawing
