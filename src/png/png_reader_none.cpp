// The PNG decoder of a build without stb_image: every PNG is refused with
// the reason, and the rest of the program works as before.

#include "png/png_reader.hpp"

namespace bmp2land::png {

bool pngDecoderBuilt() {
    return false;
}

Expected<PngPixels, PngFailure> decodePng(Bytes /*file*/, std::uint64_t /*maxPixels*/) {
    return fail(PngFailure{PngError::NotBuilt, {}});
}

}  // namespace bmp2land::png
