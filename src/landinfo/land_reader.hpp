#pragma once

// Reads a land file back from its bytes, checking every record against the
// layout the writer uses.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_order.hpp"
#include "common/expected.hpp"
#include "land/land_model.hpp"

namespace bmp2land::landinfo {

struct LandFile {
    land::LandModel model;                 // its mask is the first mask chunk
    std::vector<std::uint8_t> secondMask;  // the copy in the third chunk
    std::vector<std::uint8_t> blank;       // the fourth chunk's picture, all 0 as written
    std::string levelPath;
    std::string waterPath;
};

// What is wrong, and where: "IMG chunk 2", "bad magic", 1336890.
struct LandFileError {
    std::string_view record;
    std::string problem;
    std::size_t offset = 0;
};

// `fileSize` is the file's real length: more than file.size() when only the
// start of a long file was read.
Expected<LandFile, LandFileError> readLandFile(Bytes file, std::uint64_t fileSize);
inline Expected<LandFile, LandFileError> readLandFile(Bytes file) {
    return readLandFile(file, file.size());
}

}  // namespace bmp2land::landinfo
