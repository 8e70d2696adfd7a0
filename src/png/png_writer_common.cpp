#include "png/png_writer.hpp"

namespace bmp2land::png {

const char* describe(WriteError error) {
    switch (error) {
        case WriteError::NotBuilt:
            return "PNG support was not built (stb_image_write.h was not found)";
        case WriteError::BadPicture:
            return "the picture has no pixels or is too large for a PNG";
        case WriteError::Failed:
            return "the PNG encoder ran out of memory";
    }
    return "the PNG encoder failed";
}

}  // namespace bmp2land::png
