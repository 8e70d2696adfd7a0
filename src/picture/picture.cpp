#include "picture/picture.hpp"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <utility>

#include "bitmap/bitmap_reader.hpp"

namespace bmp2land::picture {
namespace {

Unexpected<PictureFailure> failure(PictureError kind,
                                   std::optional<PictureFacts> facts = std::nullopt) {
    return fail(PictureFailure{kind, std::move(facts), {}, std::nullopt});
}

bool isLevelSize(std::uint64_t width, std::uint64_t height) {
    return width == kLevelWidth && height == kLevelHeight;
}

bool anyTransparent(const std::vector<Rgba>& pixels) {
    return std::any_of(pixels.begin(), pixels.end(),
                       [](const Rgba& p) { return p.alpha < kHalfOpaque; });
}

std::uint32_t packed(const Rgba& c) {
    return std::uint32_t{c.red} << 24 | std::uint32_t{c.green} << 16 | std::uint32_t{c.blue} << 8 |
           c.alpha;
}

ColourType pngColourType(png::ColourType type) {
    switch (type) {
        case png::ColourType::Grey:
            return ColourType::Grey;
        case png::ColourType::GreyAlpha:
            return ColourType::GreyAlpha;
        case png::ColourType::Indexed:
            return ColourType::Indexed;
        case png::ColourType::Rgba:
            return ColourType::Rgba;
        case png::ColourType::Rgb:
            break;
    }
    return ColourType::Rgb;
}

PictureFacts pngFacts(png::PngHeader&& header) {
    PictureFacts facts;
    facts.format = PictureFormat::Png;
    facts.width = header.width;
    facts.height = header.height;
    facts.colourType = pngColourType(header.colourType);
    facts.bitDepth = header.bitDepth;
    facts.interlaced = header.interlaced;
    facts.alphaChannel = header.transparencyChunk || header.colourType == png::ColourType::Rgba ||
                         header.colourType == png::ColourType::GreyAlpha;
    facts.palette = std::move(header.palette);
    return facts;
}

// The index of each pixel's colour: the first palette entry that has it.
std::vector<std::uint8_t> findIndexes(const std::vector<Rgba>& palette,
                                      const std::vector<Rgba>& pixels) {
    std::unordered_map<std::uint32_t, std::uint8_t> entryOf;
    for (std::size_t i = palette.size(); i-- > 0;)
        entryOf[packed(palette[i])] = static_cast<std::uint8_t>(i);
    std::vector<std::uint8_t> indexes(pixels.size(), 0);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const auto found = entryOf.find(packed(pixels[i]));
        if (found != entryOf.end())
            indexes[i] = found->second;
    }
    return indexes;
}

PictureError pngError(png::PngError kind) {
    switch (kind) {
        case png::PngError::Truncated:
            return PictureError::Truncated;
        case png::PngError::NotBuilt:
            return PictureError::PngNotBuilt;
        case png::PngError::NotPng:
            return PictureError::NotAPicture;
        case png::PngError::Corrupt:
        case png::PngError::TooLarge:
            break;
    }
    return PictureError::Corrupt;
}

Expected<Picture, PictureFailure> readPng(Bytes file) {
    auto header = png::readPngHeader(file);
    if (!header)
        return failure(pngError(header.error().kind));
    const bool cutShort = header->cutShort;
    PictureFacts facts = pngFacts(std::move(*header));
    if (!isLevelSize(facts.width, facts.height))
        return failure(PictureError::WrongSize, std::move(facts));
    if (cutShort)
        return failure(PictureError::Truncated, std::move(facts));
    auto decoded = png::decodePng(file, kLevelPixels);
    if (!decoded) {
        PictureFailure refused{pngError(decoded.error().kind), std::move(facts),
                               decoded.error().reason, std::nullopt};
        return fail(std::move(refused));
    }
    Picture picture{decoded->width, decoded->height, std::move(decoded->pixels), std::move(facts)};
    if (picture.facts.colourType == ColourType::Indexed)
        picture.facts.indexes = findIndexes(picture.facts.palette, picture.pixels);
    return picture;
}

PictureError bitmapError(bitmap::DecodeError kind) {
    switch (kind) {
        case bitmap::DecodeError::Truncated:
            return PictureError::Truncated;
        case bitmap::DecodeError::UnsupportedHeader:
        case bitmap::DecodeError::UnsupportedBitCount:
        case bitmap::DecodeError::UnsupportedCompression:
            return PictureError::Unsupported;
        case bitmap::DecodeError::BadSize:
        case bitmap::DecodeError::TooLarge:
            return PictureError::WrongSize;
        case bitmap::DecodeError::Corrupt:
            break;
    }
    return PictureError::Corrupt;
}

Unexpected<PictureFailure> bitmapFailure(bitmap::DecodeFailure refused,
                                         std::optional<PictureFacts> facts) {
    return fail(PictureFailure{bitmapError(refused.kind), std::move(facts), {}, refused});
}

PictureFacts bmpFacts(const bitmap::BitmapShape& shape) {
    PictureFacts facts;
    facts.format = PictureFormat::Bmp;
    facts.width = static_cast<std::uint32_t>(shape.width);
    facts.height = static_cast<std::uint32_t>(shape.height);
    facts.colourType = shape.paletted()     ? ColourType::Indexed
                       : shape.alphaChannel ? ColourType::Rgba
                                            : ColourType::Rgb;
    facts.bitDepth = static_cast<std::uint8_t>(shape.bitCount);
    facts.bmpHeaderSize = shape.headerSize;
    facts.bmpCompression = shape.compression;
    facts.topDown = shape.topDown;
    facts.alphaChannel = shape.alphaChannel;
    return facts;
}

Expected<Picture, PictureFailure> readBmp(Bytes file) {
    const auto shape = bitmap::inspectBitmap(file);
    if (!shape)
        return bitmapFailure(shape.error(), std::nullopt);
    PictureFacts facts = bmpFacts(*shape);
    if (!isLevelSize(facts.width, facts.height))
        return failure(PictureError::WrongSize, std::move(facts));
    auto decoded = bitmap::decodeBitmap(file, kLevelPixels);
    if (!decoded)
        return bitmapFailure(decoded.error(), std::move(facts));
    facts = bmpFacts(decoded->shape);  // with the alpha the pixels turned out to have
    for (const bitmap::RgbQuad& q : decoded->palette)
        facts.palette.push_back(Rgba{q.red, q.green, q.blue, kOpaque});
    facts.indexes = std::move(decoded->indexes);
    return Picture{facts.width, facts.height, std::move(decoded->pixels), std::move(facts)};
}

}  // namespace

Expected<Picture, PictureFailure> readPicture(Bytes file) {
    const PictureFormat format = pictureFormat(file);
    Expected<Picture, PictureFailure> read = format == PictureFormat::Png ? readPng(file)
                                             : format == PictureFormat::Bmp
                                                 ? readBmp(file)
                                                 : failure(PictureError::NotAPicture);
    if (read)
        read->facts.transparent = anyTransparent(read->pixels);
    return read;
}

}  // namespace bmp2land::picture
