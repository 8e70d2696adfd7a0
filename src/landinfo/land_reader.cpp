#include "landinfo/land_reader.hpp"

#include <algorithm>
#include <optional>
#include <utility>

#include "land/land_records.hpp"
#include "landinfo/counted.hpp"

namespace bmp2land::landinfo {

using namespace land;

namespace {

// The name of the field of an LND or IMG header that covers byte `offset`.
std::string_view lndFieldName(std::size_t offset) {
    if (offset < 4)
        return "magic";
    if (offset < 8)
        return "file length";
    if (offset < 12)
        return "width";
    if (offset < 16)
        return "height";
    if (offset < 20)
        return "reserved field";
    return "object count";
}

std::string_view imgFieldName(std::size_t offset, bool hasColourTable) {
    if (offset < 4)
        return "magic";
    if (offset < 8)
        return "chunk length";
    if (offset == 8)
        return "reserved byte";
    if (offset == kImgBitsOffset)
        return "bits per pixel";
    if (offset == 10)
        return "flags";
    const std::size_t sizeOffset = hasColourTable ? kPictureSizeOffset : kImgCommonHeaderSize;
    if (hasColourTable && offset < kImgColoursOffset)
        return "colour count";
    if (offset < sizeOffset)
        return "colours";
    return offset < sizeOffset + 2 ? "width" : "height";
}

using FieldName = std::string_view (*)(std::size_t offset);

std::string_view pictureFieldName(std::size_t offset) {
    return imgFieldName(offset, true);
}
std::string_view bitmaskFieldName(std::size_t offset) {
    return imgFieldName(offset, false);
}

// Reads the records in file order; the first problem found is kept.
class Reader {
  public:
    explicit Reader(Bytes file) : file_(file) {}

    // The `length` bytes of a record at `offset`, or empty when the file ends
    // first.
    std::optional<Bytes> record(std::string_view name, std::size_t offset, std::size_t length) {
        const Bytes bytes = available(name, offset, length);
        if (bytes.size() < length)
            return std::nullopt;
        return bytes;
    }

    // The same, but when the file ends first, the bytes it has of the record:
    // the start of a picture can be shown all the same. The record is cut
    // short just as well.
    Bytes available(std::string_view name, std::size_t offset, std::size_t length) {
        if (error_)
            return {};
        if (file_.size() < offset + length) {
            error_ = LandFileError{name, "cut short", file_.size()};
            return offset < file_.size() ? file_.subspan(offset) : Bytes{};
        }
        return file_.subspan(offset, length);
    }

    // Compares a header with what the writer would have written there.
    bool expect(std::string_view name, std::size_t offset, Bytes expected, FieldName fieldName) {
        const auto found = record(name, offset, expected.size());
        if (!found)
            return false;
        const auto differs = std::mismatch(found->begin(), found->end(), expected.begin());
        if (differs.first == found->end())
            return true;
        std::size_t at = static_cast<std::size_t>(differs.first - found->begin());
        const std::string_view field = fieldName(at);
        while (at > 0 && fieldName(at - 1) == field)
            --at;  // report where the field starts
        fail(name, "bad " + std::string(field), offset + at);
        return false;
    }

    void fail(std::string_view name, std::string problem, std::size_t offset) {
        if (!error_)
            error_ = LandFileError{name, std::move(problem), offset};
    }

    const std::optional<LandFileError>& error() const { return error_; }

  private:
    Bytes file_;
    std::optional<LandFileError> error_;
};

// Every whole position, also those outside the picture, which a preview
// shows at its edge; the first of those is the problem.
void readPositions(Reader& reader, LandFileReading& reading) {
    const Bytes records = reader.available("object positions", kPositionsOffset, kPositionsSize);
    reading.objects = records.size() / kPositionSize;
    for (std::size_t i = 0; i < reading.objects; ++i) {
        const ObjectPosition position{loadU32(records, i * kPositionSize),
                                      loadU32(records, i * kPositionSize + 4)};
        if (position.x >= kWidth || position.y >= kHeight) {
            reader.fail("object positions", "position outside the picture",
                        kPositionsOffset + i * kPositionSize);
        }
        reading.file.model.positions[i] = position;
    }
}

void readPictureChunk(Reader& reader, LandFileReading& reading) {
    constexpr std::string_view kName = "IMG chunk 1";
    LandModel& model = reading.file.model;
    const auto header = reader.record(kName, kPictureChunkOffset, kPictureHeaderSize);
    if (!header)
        return;
    for (std::size_t k = 0; k < kColourCount; ++k) {
        const std::size_t at = kImgColoursOffset + 3 * k;
        model.colours[k] = RgbTriplet{(*header)[at], (*header)[at + 1], (*header)[at + 2]};
    }
    if (!reader.expect(kName, kPictureChunkOffset, encodePictureHeader(model), pictureFieldName)) {
        model.colours = {};
        return;
    }
    reading.coloursRead = true;
    const Bytes pixels =
        reader.available(kName, kPictureChunkOffset + kPictureHeaderSize, kPixelCount);
    model.pixels.assign(pixels.begin(), pixels.end());
}

void readBitmaskChunk(Reader& reader, std::string_view name, std::size_t offset,
                      std::uint32_t chunkLength, std::uint32_t width, std::uint32_t height,
                      std::vector<std::uint8_t>& data) {
    if (!reader.expect(name, offset, encodeBitmaskHeader(chunkLength, width, height),
                       bitmaskFieldName)) {
        return;
    }
    const Bytes bytes =
        reader.available(name, offset + kBitmaskHeaderSize, chunkLength - kBitmaskHeaderSize);
    data.assign(bytes.begin(), bytes.end());
}

std::string readPath(Reader& reader, std::string_view name, std::size_t offset,
                     std::string_view expected) {
    const auto bytes = reader.record(name, offset, kPathRecordSize);
    if (!bytes)
        return {};
    if ((*bytes)[0] != expected.size()) {
        reader.fail(name, "bad length", offset);
        return {};
    }
    return std::string(bytes->begin() + 1, bytes->end());
}

}  // namespace

LandFileReading readLandFileRecords(Bytes file, std::uint64_t fileSize) {
    Reader reader(file);
    LandFileReading reading;
    LandFile& land = reading.file;
    LandModel& model = land.model;
    reader.expect("LND header", 0, encodeLndHeader(kWidth, kHeight), lndFieldName);
    readPositions(reader, reading);
    const auto separator = reader.record("separator", kSeparatorOffset, kSeparatorSize);
    if (separator && loadU32(*separator, 0) != 0) {
        reader.fail("separator", "bad value", kSeparatorOffset);
    }
    readPictureChunk(reader, reading);
    readBitmaskChunk(reader, "IMG chunk 2", kMaskChunkOffset, kMaskChunkLength, kWidth, kHeight,
                     model.mask);
    readBitmaskChunk(reader, "IMG chunk 3", kSecondMaskChunkOffset, kMaskChunkLength, kWidth,
                     kHeight, land.secondMask);
    readBitmaskChunk(reader, "IMG chunk 4", kBlankChunkOffset, kBlankChunkLength, kBlankWidth,
                     kBlankHeight, land.blank);
    land.levelPath = readPath(reader, "level path", kLevelPathOffset, kLevelPath);
    land.waterPath = readPath(reader, "water path", kWaterPathOffset, kWaterPath);
    fileSize = std::max<std::uint64_t>(fileSize, file.size());
    if (!reader.error() && fileSize > kLandFileSize) {
        reader.fail("end of file", counted(fileSize - kLandFileSize, "extra byte", "extra bytes"),
                    kLandFileSize);
    }
    reading.error = reader.error();
    return reading;
}

Expected<LandFile, LandFileError> readLandFile(Bytes file, std::uint64_t fileSize) {
    LandFileReading reading = readLandFileRecords(file, fileSize);
    if (reading.error)
        return fail(*reading.error);
    return std::move(reading.file);
}

}  // namespace bmp2land::landinfo
