#pragma once

// Merges many colours into a few with the least change: Xiaolin Wu's
// variance cuts on a 32-level-per-channel histogram choose the first colours,
// then k-means (Lloyd's iterations) over the picture's own colours, weighted
// by their pixel counts, moves each to the mean of the colours nearest it.
// "Nearest" is by the largest change in any channel, the measure a level
// maker is shown, so that the mean of it stays low. No dithering: every pixel
// of one colour gets the same colour back, and land edges stay crisp.

#include <cstdint>
#include <vector>

#include "common/rgba.hpp"
#include "drawing/colour_table.hpp"

namespace bmp2land::drawing {

struct Quantized {
    std::vector<Rgba> palette;          // at most the colours asked for
    std::vector<std::uint8_t> entryOf;  // for each input colour, its palette entry
};

// `colours` are distinct, with their pixel counts.
Quantized quantize(const std::vector<ColourCount>& colours, std::size_t wanted);

}  // namespace bmp2land::drawing
