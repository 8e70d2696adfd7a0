#pragma once

#include <memory>
#include <string_view>

#include "common/byte_sink.hpp"
#include "land/land_model.hpp"
#include "platform/replacement_file.hpp"

namespace bmp2land::land {

inline constexpr std::string_view kLandFileName = "land.dat";

// Opens a new land.dat in the current directory. Null when land.dat can't be
// written or nothing can be created beside it; an existing land.dat is only
// replaced once the new one is committed.
std::unique_ptr<platform::ReplacementFile> create();

// Writes every record of the land file, in file order, as one sequential
// stream. False as soon as the sink refuses a write.
[[nodiscard]] bool write(const LandModel& model, ByteSink& out);

}  // namespace bmp2land::land
