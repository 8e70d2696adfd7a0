#pragma once

// Reads back the text a preview drew, glyph by glyph, so that a test can
// check its words on the picture itself.

#include <string>

#include "preview/image.hpp"

namespace testing_support {

// The text drawn at `box` in the preview's text colour and size; '\x7f' where
// no glyph matches.
std::string readText(const bmp2land::preview::Image& image, const bmp2land::preview::Box& box);

}  // namespace testing_support
