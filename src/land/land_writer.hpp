#pragma once

#include <string_view>

#include "common/byte_sink.hpp"
#include "land/land_model.hpp"

namespace bmp2land::land {

// The converter writes it in the current directory.
inline constexpr std::string_view kLandFileName = "land.dat";

// Writes every record of the land file, in file order, as one sequential
// stream. False as soon as the sink refuses a write.
[[nodiscard]] bool write(const LandModel& model, ByteSink& out);

}  // namespace bmp2land::land
