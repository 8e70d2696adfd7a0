// Drives the land-file reader, the scene a preview draws of what it read,
// the summary with its round-trip decision and the in-memory export on
// arbitrary bytes. The seeds (fuzz/land_corpus/, made by make_land_seeds) are
// land files, good and damaged.
//
// Invariants: a refused file names a record and an offset no further than
// the file reaches; what a damaged file gives its preview lies within the
// picture and the 30 objects; a good file is exactly the land file's length; its
// round trip is exact exactly when no reason against it is noted, and each
// reason is noted once; land without a colour lies in the picture; the export
// is a bitmap the reader takes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "bitmap/bitmap_reader.hpp"
#include "land/land_format.hpp"
#include "landinfo/land_export.hpp"
#include "landinfo/land_reader.hpp"
#include "landinfo/land_summary.hpp"
#include "landinfo/level_scenes.hpp"
#include "uncoloured_land_check.hpp"

namespace {

using namespace bmp2land;

void require(bool condition) {
    if (!condition)
        std::abort();
}

void checkNotes(const landinfo::LandSummary& summary) {
    require(summary.roundTripExact == summary.notes.empty());
    for (auto note = summary.notes.begin(); note != summary.notes.end(); ++note) {
        require(note->count >= 1 && note->object <= land::kObjectCount);
        require(std::none_of(summary.notes.begin(), note,
                             [&](const auto& earlier) { return earlier.kind == note->kind; }));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes bytes(data, size);
    const landinfo::LandFileReading reading = landinfo::readLandFileRecords(bytes, size);
    const preview::Scene scene = landinfo::landFileScene(reading);
    require(scene.picture.size() <= land::kPixelCount &&
            scene.objects.size() <= land::kObjectCount &&
            scene.maskDisagrees.size() <= scene.picture.size());
    const auto file = landinfo::readLandFile(bytes);
    require(file.ok() == !reading.error);
    if (!file) {
        require(!file.error().record.empty() && file.error().offset <= size);
        return 0;
    }
    require(size == land::kLandFileSize);
    const landinfo::LandSummary summary = landinfo::summarize(*file, bytes);
    checkNotes(summary);
    requireInPicture(summary.uncoloured);

    const auto exported = landinfo::exportBitmap(file->model);
    require(exported.size() == bitmap::kFixedPixelOffset + bitmap::kPixelCount);
    const auto headers = bitmap::readHeaders(exported);
    require(headers.ok());
    require(bitmap::readBody(exported, *headers).ok());
    return 0;
}
