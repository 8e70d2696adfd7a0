#include "picture/picture_format.hpp"

#include <algorithm>
#include <array>
#include <string_view>

#include "bitmap/bitmap_headers.hpp"
#include "bitmap/bitmap_reader.hpp"
#include "land/land_format.hpp"

namespace bmp2land::picture {
namespace {

bool startsWith(Bytes file, std::string_view signature) {
    return file.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), file.begin(),
                      [](char s, std::uint8_t b) { return static_cast<std::uint8_t>(s) == b; });
}

bool startsWithMagic(Bytes file, const land::Magic& magic) {
    return file.size() >= magic.size() && std::equal(magic.begin(), magic.end(), file.begin());
}

// The sizes of the info headers bitmaps have: core, the 40-byte one, with
// colour masks (52, 56), OS/2 2.x, version 4 and version 5.
constexpr std::array<std::uint32_t, 7> kInfoHeaderSizes = {12, 40, 52, 56, 64, 108, 124};
constexpr std::array<std::uint16_t, 7> kBitCounts = {1, 2, 4, 8, 16, 24, 32};

template <typename T, std::size_t N>
bool isOneOf(T value, const std::array<T, N>& values) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

// Three fields together that a land file's first bytes never hold.
bool hasBmpHeaders(Bytes file) {
    if (file.size() < bitmap::kHeadersSize)
        return false;
    const bitmap::InfoHeader info = bitmap::decodeHeaders(file).info;
    return isOneOf(info.biSize, kInfoHeaderSizes) && info.biPlanes == 1 &&
           isOneOf(info.biBitCount, kBitCounts);
}

bool readsAsBitmap(Bytes file) {
    return !startsWithMagic(file, land::kLndMagic) &&
           (bitmap::readHeaders(file).ok() || hasBmpHeaders(file));
}

}  // namespace

PictureFormat pictureFormat(Bytes file) {
    if (startsWith(file, "BM"))
        return PictureFormat::Bmp;
    if (startsWith(file, "\x89PNG\r\n\x1A\n"))
        return PictureFormat::Png;
    if (startsWith(file, "\xFF\xD8\xFF"))
        return PictureFormat::Jpeg;
    if (startsWith(file, "GIF87a") || startsWith(file, "GIF89a"))
        return PictureFormat::Gif;
    if (startsWith(file, std::string_view("II*\0", 4)) ||
        startsWith(file, std::string_view("MM\0*", 4)))
        return PictureFormat::Tiff;
    return readsAsBitmap(file) ? PictureFormat::Bmp : PictureFormat::Other;
}

const char* formatName(PictureFormat format) {
    switch (format) {
        case PictureFormat::Bmp:
            return "BMP";
        case PictureFormat::Png:
            return "PNG";
        case PictureFormat::Jpeg:
            return "JPEG";
        case PictureFormat::Gif:
            return "GIF";
        case PictureFormat::Tiff:
            return "TIFF";
        case PictureFormat::Other:
            break;
    }
    return "other";
}

}  // namespace bmp2land::picture
