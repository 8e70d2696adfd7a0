#include "land/land_writer.hpp"

#include <array>
#include <cstddef>

#include "land/land_records.hpp"

namespace bmp2land::land {
namespace {

bool put(ByteSink& out, Bytes bytes) {
    return out.put(bytes);
}

template <std::size_t N>
bool put(ByteSink& out, const std::array<std::uint8_t, N>& bytes) {
    return out.put(Bytes(bytes));
}

bool writeMaskChunk(const LandModel& model, ByteSink& out) {
    return put(out, encodeBitmaskHeader(kMaskChunkLength, model.width, model.height)) &&
           put(out, model.mask);
}

bool writeBlankChunk(ByteSink& out) {
    static constexpr std::array<std::uint8_t, kBlankDataSize> kBlank{};
    return put(out, encodeBitmaskHeader(kBlankChunkLength, kBlankWidth, kBlankHeight)) &&
           put(out, kBlank);
}

}  // namespace

bool write(const LandModel& model, ByteSink& out) {
    return put(out, encodeLndHeader(model.width, model.height)) &&            //
           put(out, encodePositions(model.positions)) &&                      //
           put(out, std::array<std::uint8_t, kSeparatorSize>{}) &&            //
           put(out, encodePictureHeader(model)) && put(out, model.pixels) &&  //
           writeMaskChunk(model, out) &&                                      //
           writeMaskChunk(model, out) &&                                      //
           writeBlankChunk(out) &&                                            //
           put(out, encodePath(kLevelPath)) &&                                //
           put(out, encodePath(kWaterPath));
}

}  // namespace bmp2land::land
