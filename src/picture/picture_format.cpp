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

// The formats a file's first bytes tell.
struct Signature {
    std::string_view bytes;
    PictureFormat format;
};

constexpr std::array<Signature, 9> kSignatures = {{
    {"BM", PictureFormat::Bmp},
    {"\x89PNG\r\n\x1A\n", PictureFormat::Png},
    {"\xFF\xD8\xFF", PictureFormat::Jpeg},
    {"GIF87a", PictureFormat::Gif},
    {"GIF89a", PictureFormat::Gif},
    {std::string_view("II*\0", 4), PictureFormat::Tiff},
    {std::string_view("MM\0*", 4), PictureFormat::Tiff},
    {"gimp xcf ", PictureFormat::Xcf},
    {"8BPS", PictureFormat::Psd},
}};

// Krita's and OpenRaster's files are zip archives whose first member,
// stored uncompressed, is "mimetype".
constexpr std::size_t kZipNameOffset = 30;
constexpr std::size_t kZipNameLengthOffset = 26;
constexpr std::size_t kZipExtraLengthOffset = 28;

bool isZipOfType(Bytes file, std::string_view mimeType) {
    constexpr std::string_view kMember = "mimetype";
    if (!startsWith(file, std::string_view("PK\x03\x04", 4)) || file.size() < kZipNameOffset)
        return false;
    const std::size_t nameLength = loadU16(file, kZipNameLengthOffset);
    const std::size_t extraLength = loadU16(file, kZipExtraLengthOffset);
    const Bytes rest = file.subspan(kZipNameOffset);
    return nameLength == kMember.size() && startsWith(rest, kMember) &&
           rest.size() >= nameLength + extraLength &&
           startsWith(rest.subspan(nameLength + extraLength), mimeType);
}

bool isWebP(Bytes file) {
    constexpr std::size_t kFormOffset = 8;
    return startsWith(file, "RIFF") && file.size() > kFormOffset &&
           startsWith(file.subspan(kFormOffset), "WEBP");
}

bool readsAsBitmap(Bytes file) {
    return !startsWithMagic(file, land::kLndMagic) &&
           (bitmap::readHeaders(file).ok() || hasBmpHeaders(file));
}

}  // namespace

PictureFormat pictureFormat(Bytes file) {
    const auto* const known =
        std::find_if(kSignatures.begin(), kSignatures.end(),
                     [&](const Signature& s) { return startsWith(file, s.bytes); });
    if (known != kSignatures.end())
        return known->format;
    if (isWebP(file))
        return PictureFormat::WebP;
    if (isZipOfType(file, "application/x-krita"))
        return PictureFormat::Kra;
    if (isZipOfType(file, "image/openraster"))
        return PictureFormat::OpenRaster;
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
        case PictureFormat::WebP:
            return "WebP";
        case PictureFormat::Xcf:
            return "GIMP XCF";
        case PictureFormat::Psd:
            return "Photoshop PSD";
        case PictureFormat::Kra:
            return "Krita KRA";
        case PictureFormat::OpenRaster:
            return "MyPaint OpenRaster";
        case PictureFormat::Other:
            break;
    }
    return "other";
}

}  // namespace bmp2land::picture
