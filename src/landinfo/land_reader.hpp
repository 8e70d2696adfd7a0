#pragma once

// Reads a land file back from its bytes, checking every record against the
// layout the writer uses.

#include <cstddef>
#include <cstdint>
#include <optional>
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

// A land file as far as it could be read. Records are read in file order
// and checked as the writer lays them out; reading stops at the first
// problem. Before it every record is whole and good; the record the problem
// is in gives what it has, where that can be shown without trusting it: the
// object positions (whole ones, even outside the picture) and the bytes of
// a picture, mask or blank chunk that is cut short. Nothing after it is read.
struct LandFileReading {
    LandFile file;                       // what was read; the rest empty
    std::size_t objects = 0;             // file.model.positions read: the first `objects`
    bool coloursRead = false;            // the picture chunk's header, with its colours, is good
    std::optional<LandFileError> error;  // the first problem; none in a good file
};

// `fileSize` is the file's real length: more than file.size() when only the
// start of a long file was read.
LandFileReading readLandFileRecords(Bytes file, std::uint64_t fileSize);

// The whole file, or its first problem.
Expected<LandFile, LandFileError> readLandFile(Bytes file, std::uint64_t fileSize);
inline Expected<LandFile, LandFileError> readLandFile(Bytes file) {
    return readLandFile(file, file.size());
}

}  // namespace bmp2land::landinfo
