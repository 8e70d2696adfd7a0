#include "drawing/quantizer.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>
#include <utility>

namespace bmp2land::drawing {
namespace {

// Wu's histogram: 32 levels a channel, with a zero plane in front of each
// axis so that the cumulative moments need no edge cases.
constexpr int kLevels = 33;
constexpr int kLevelShift = 3;
constexpr std::size_t kCells = std::size_t{kLevels} * kLevels * kLevels;

constexpr std::size_t cell(int r, int g, int b) {
    return (static_cast<std::size_t>(r) * kLevels + static_cast<std::size_t>(g)) * kLevels +
           static_cast<std::size_t>(b);
}

// The cumulative moments: weight, the sums of each channel and of squares.
struct Moments {
    std::vector<std::int64_t> weight = std::vector<std::int64_t>(kCells, 0);
    std::vector<std::int64_t> red = std::vector<std::int64_t>(kCells, 0);
    std::vector<std::int64_t> green = std::vector<std::int64_t>(kCells, 0);
    std::vector<std::int64_t> blue = std::vector<std::int64_t>(kCells, 0);
    std::vector<double> squares = std::vector<double>(kCells, 0.0);
};

// A box of the histogram: lower bounds exclusive, upper inclusive.
struct Box {
    std::array<int, 3> lower{};
    std::array<int, 3> upper{};
};

enum Axis : std::uint8_t { kRed = 0, kGreen = 1, kBlue = 2 };

struct Sums {
    std::int64_t weight = 0;
    std::int64_t red = 0;
    std::int64_t green = 0;
    std::int64_t blue = 0;
    Sums operator-(const Sums& o) const {
        return {weight - o.weight, red - o.red, green - o.green, blue - o.blue};
    }
    [[nodiscard]] double spread() const {  // the sum of squares of the channel sums, over weight
        const auto r = static_cast<double>(red);
        const auto g = static_cast<double>(green);
        const auto b = static_cast<double>(blue);
        return (r * r + g * g + b * b) / static_cast<double>(weight);
    }
};

int levelOf(std::uint32_t channel) {
    return static_cast<int>(channel >> kLevelShift) + 1;
}

Moments histogram(const std::vector<ColourCount>& colours) {
    Moments m;
    for (const ColourCount& c : colours) {
        const Rgba rgb = unpackRgb(c.rgb);
        const std::size_t at = cell(levelOf(rgb.red), levelOf(rgb.green), levelOf(rgb.blue));
        const std::int64_t n = c.count;
        m.weight[at] += n;
        m.red[at] += n * rgb.red;
        m.green[at] += n * rgb.green;
        m.blue[at] += n * rgb.blue;
        m.squares[at] += static_cast<double>(n) *
                         (rgb.red * rgb.red + rgb.green * rgb.green + rgb.blue * rgb.blue);
    }
    return m;
}

// Turns each moment into the sum over the box from the origin to its cell.
template <typename T>
void accumulate(std::vector<T>& v) {
    for (int r = 1; r < kLevels; ++r) {
        std::array<T, std::size_t{kLevels} * kLevels> plane{};
        for (int g = 1; g < kLevels; ++g) {
            T line{};
            for (int b = 1; b < kLevels; ++b) {
                line += v[cell(r, g, b)];
                const std::size_t p =
                    static_cast<std::size_t>(g) * kLevels + static_cast<std::size_t>(b);
                plane[p] = plane[p - kLevels] + line;
                v[cell(r, g, b)] = v[cell(r - 1, g, b)] + plane[p];
            }
        }
    }
}

template <typename T>
T volume(const Box& x, const std::vector<T>& m) {
    const auto& lo = x.lower;
    const auto& hi = x.upper;
    return m[cell(hi[0], hi[1], hi[2])] - m[cell(hi[0], hi[1], lo[2])] -
           m[cell(hi[0], lo[1], hi[2])] + m[cell(hi[0], lo[1], lo[2])] -
           m[cell(lo[0], hi[1], hi[2])] + m[cell(lo[0], hi[1], lo[2])] +
           m[cell(lo[0], lo[1], hi[2])] - m[cell(lo[0], lo[1], lo[2])];
}

Sums sums(const Box& x, const Moments& m) {
    return {volume(x, m.weight), volume(x, m.red), volume(x, m.green), volume(x, m.blue)};
}

double variance(const Box& x, const Moments& m) {
    const Sums s = sums(x, m);
    return s.weight == 0 ? 0.0 : volume(x, m.squares) - s.spread();
}

// The sums of the part of `x` below `position` on `axis`.
Sums below(const Box& x, Axis axis, int position, const Moments& m) {
    Box part = x;
    part.upper[axis] = position;
    return sums(part, m);
}

struct Cut {
    double score = 0;
    int position = -1;
};

// The cut of `x` on `axis` that leaves the two parts with the least variance.
Cut bestCut(const Box& x, Axis axis, const Sums& whole, const Moments& m) {
    Cut best;
    for (int position = x.lower[axis] + 1; position < x.upper[axis]; ++position) {
        const Sums half = below(x, axis, position, m);
        const Sums rest = whole - half;
        if (half.weight == 0 || rest.weight == 0)
            continue;
        const double score = half.spread() + rest.spread();
        if (score > best.score) {
            best = {score, position};
        }
    }
    return best;
}

bool split(Box& x, Box& other, const Moments& m) {
    const Sums whole = sums(x, m);
    std::array<Cut, 3> cuts{};
    for (const Axis axis : {kRed, kGreen, kBlue})
        cuts[axis] = bestCut(x, axis, whole, m);
    auto* const best = std::max_element(
        cuts.begin(), cuts.end(), [](const Cut& a, const Cut& b) { return a.score < b.score; });
    if (best->position < 0)
        return false;
    const auto axis = static_cast<std::size_t>(best - cuts.begin());
    other = x;
    x.upper[axis] = best->position;
    other.lower[axis] = best->position;
    return true;
}

std::vector<Box> wuBoxes(const Moments& m, std::size_t wanted) {
    std::vector<Box> boxes(1);
    boxes[0].upper = {kLevels - 1, kLevels - 1, kLevels - 1};
    std::vector<double> spread = {variance(boxes[0], m)};
    std::size_t next = 0;
    while (boxes.size() < wanted) {
        Box other;
        if (split(boxes[next], other, m)) {
            boxes.push_back(other);
            spread[next] = variance(boxes[next], m);
            spread.push_back(variance(other, m));
        } else {
            spread[next] = 0;  // a single cell: can't be cut
        }
        next = static_cast<std::size_t>(std::max_element(spread.begin(), spread.end()) -
                                        spread.begin());
        if (spread[next] <= 0)
            break;
    }
    return boxes;
}

struct Point {
    double red = 0;
    double green = 0;
    double blue = 0;
};

struct WeightedPoint {
    Point at;
    double weight = 0;
};

// How far apart two colours are by the measure the level's facts report: the
// largest change in any channel, with the squared distance breaking ties.
constexpr double kLargestFirst = 1000;

double apart(const Point& a, const Point& b) {
    const double r = std::abs(a.red - b.red);
    const double g = std::abs(a.green - b.green);
    const double bl = std::abs(a.blue - b.blue);
    return std::max({r, g, bl}) * kLargestFirst + (r * r + g * g + bl * bl) / kLargestFirst;
}

// Finds the centre nearest a colour. The centres are kept in order of red:
// no centre whose red alone differs by more than the best distance found can
// be nearer, so the search goes out from the colour's red both ways and stops
// there, looking at a few centres instead of all of them.
class NearestCentre {
  public:
    explicit NearestCentre(const std::vector<Point>& centres) {
        for (std::size_t i = 0; i < centres.size(); ++i)
            byRed_.push_back({centres[i], static_cast<std::uint8_t>(i)});
        std::sort(byRed_.begin(), byRed_.end(),
                  [](const Entry& a, const Entry& b) { return a.at.red < b.at.red; });
    }

    [[nodiscard]] std::uint8_t operator()(const Point& p) const {
        const auto start =
            std::lower_bound(byRed_.begin(), byRed_.end(), p.red,
                             [](const Entry& e, double red) { return e.at.red < red; });
        double best = std::numeric_limits<double>::max();
        std::uint8_t found = 0;
        const auto consider = [&](const Entry& e) {
            if (std::abs(e.at.red - p.red) * kLargestFirst > best)
                return false;
            const double d = apart(e.at, p);
            if (d < best || (d == best && e.index < found)) {
                best = d;
                found = e.index;
            }
            return true;
        };
        for (auto up = start; up != byRed_.end() && consider(*up); ++up) {
        }
        for (auto down = start; down != byRed_.begin() && consider(*(down - 1)); --down) {
        }
        return found;
    }

  private:
    struct Entry {
        Point at;
        std::uint8_t index;
    };
    std::vector<Entry> byRed_;
};

Point pointOf(std::uint32_t rgb) {
    const Rgba c = unpackRgb(rgb);
    return {double(c.red), double(c.green), double(c.blue)};
}

// What k-means runs over: the colours themselves, or where they are too many
// to go over in every round, the mean colour of each cell of the histogram.
constexpr std::size_t kMostPoints = std::size_t{1} << 16;

std::vector<WeightedPoint> kMeansPoints(const std::vector<ColourCount>& colours, const Moments& m) {
    std::vector<WeightedPoint> points;
    if (colours.size() <= kMostPoints) {
        points.resize(colours.size());
        std::transform(colours.begin(), colours.end(), points.begin(), [](const ColourCount& c) {
            return WeightedPoint{pointOf(c.rgb), double(c.count)};
        });
        return points;
    }
    for (std::size_t at = 0; at < kCells; ++at) {
        if (m.weight[at] == 0)
            continue;
        const auto w = static_cast<double>(m.weight[at]);
        points.push_back(
            {{double(m.red[at]) / w, double(m.green[at]) / w, double(m.blue[at]) / w}, w});
    }
    return points;
}

// Lloyd's iterations, until no point changes its centre or the rounds run out.
constexpr int kRounds = 10;

void refine(const std::vector<WeightedPoint>& points, std::vector<Point>& centres) {
    std::vector<std::uint8_t> centreOf(points.size(), 0);
    for (int round = 0; round < kRounds; ++round) {
        bool moved = false;
        const NearestCentre nearest(centres);
        for (std::size_t i = 0; i < points.size(); ++i) {
            const std::uint8_t c = nearest(points[i].at);
            moved = moved || c != centreOf[i];
            centreOf[i] = c;
        }
        if (!moved && round > 0)
            return;
        std::vector<WeightedPoint> sum(centres.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            const WeightedPoint& p = points[i];
            WeightedPoint& s = sum[centreOf[i]];
            s.at.red += p.weight * p.at.red;
            s.at.green += p.weight * p.at.green;
            s.at.blue += p.weight * p.at.blue;
            s.weight += p.weight;
        }
        for (std::size_t k = 0; k < centres.size(); ++k) {
            const WeightedPoint& s = sum[k];
            if (s.weight > 0)  // a centre that lost all its points stays
                centres[k] = {s.at.red / s.weight, s.at.green / s.weight, s.at.blue / s.weight};
        }
    }
}

std::uint8_t rounded(double v) {
    return static_cast<std::uint8_t>(std::clamp(v + 0.5, 0.0, 255.0));
}

std::vector<Point> wuCentres(const Moments& m, std::size_t wanted) {
    std::vector<Point> centres;
    for (const Box& box : wuBoxes(m, wanted)) {
        const Sums s = sums(box, m);
        if (s.weight == 0)
            continue;
        const auto w = static_cast<double>(s.weight);
        centres.push_back({double(s.red) / w, double(s.green) / w, double(s.blue) / w});
    }
    return centres;
}

// Rounds each centre to the colour it is written as, and drops repeats.
void roundCentres(std::vector<Point>& centres) {
    std::transform(centres.begin(), centres.end(), centres.begin(), [](const Point& c) {
        return Point{double(rounded(c.red)), double(rounded(c.green)), double(rounded(c.blue))};
    });
    std::vector<Point> distinct;
    for (const Point& c : centres) {
        const bool seen = std::any_of(distinct.begin(), distinct.end(), [&](const Point& d) {
            return d.red == c.red && d.green == c.green && d.blue == c.blue;
        });
        if (!seen)
            distinct.push_back(c);
    }
    centres = std::move(distinct);
}

// Rounds of filling in centres; each takes as many colours as are missing.
constexpr int kFillRounds = 8;

// Wu's cuts can't split one cell of the histogram, whose colours differ by
// less than 8 in each channel, and k-means can leave a centre with no colour,
// or two centres on one colour: a drawing of a few colours shaded a little
// (anti-aliased edges, a soft brush) would then get far fewer than `wanted`
// entries. While there are fewer centres than that and some colour is not
// one of them, the centres that no colour is nearest go, and the colours
// that change most, times their pixels, become centres of their own.
void fillCentres(const std::vector<ColourCount>& colours, std::vector<Point>& centres,
                 std::size_t wanted) {
    const std::size_t target = std::min(wanted, colours.size());
    for (int round = 0; round < kFillRounds; ++round) {
        const NearestCentre nearest(centres);
        std::vector<bool> used(centres.size(), false);
        std::vector<std::pair<double, std::size_t>> changed;  // change times pixels, colour
        for (std::size_t i = 0; i < colours.size(); ++i) {
            const Point p = pointOf(colours[i].rgb);
            const std::uint8_t k = nearest(p);
            used[k] = true;
            const double change = apart(centres[k], p);
            if (change > 0)
                changed.emplace_back(change * colours[i].count, i);
        }
        std::vector<Point> kept;
        for (std::size_t k = 0; k < centres.size(); ++k)
            if (used[k])
                kept.push_back(centres[k]);
        centres = std::move(kept);
        if (centres.size() >= target || changed.empty())
            return;
        const std::size_t missing = std::min(target - centres.size(), changed.size());
        std::partial_sort(changed.begin(), changed.begin() + static_cast<std::ptrdiff_t>(missing),
                          changed.end(), std::greater<>());
        for (std::size_t j = 0; j < missing; ++j)
            centres.push_back(pointOf(colours[changed[j].second].rgb));
    }
}

}  // namespace

Quantized quantize(const std::vector<ColourCount>& colours, std::size_t wanted) {
    Quantized result;
    if (colours.empty() || wanted == 0)
        return result;
    const Moments cells = histogram(colours);
    Moments m = cells;
    accumulate(m.weight);
    accumulate(m.red);
    accumulate(m.green);
    accumulate(m.blue);
    accumulate(m.squares);
    std::vector<Point> centres = wuCentres(m, std::min<std::size_t>(wanted, 256));
    refine(kMeansPoints(colours, cells), centres);
    // Each colour goes to the nearest of the colours as they are written.
    roundCentres(centres);
    fillCentres(colours, centres, std::min<std::size_t>(wanted, 256));
    for (const Point& c : centres)
        result.palette.push_back(Rgba{rounded(c.red), rounded(c.green), rounded(c.blue), kOpaque});
    result.entryOf.resize(colours.size());
    const NearestCentre nearest(centres);
    std::transform(colours.begin(), colours.end(), result.entryOf.begin(),
                   [&](const ColourCount& c) { return nearest(pointOf(c.rgb)); });
    return result;
}

}  // namespace bmp2land::drawing
