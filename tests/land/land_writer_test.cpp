#include "land/land_writer.hpp"

#include <gtest/gtest.h>

#include "bitmap/bitmap_reader.hpp"
#include "land/land_conversion.hpp"
#include "test_bitmaps.hpp"

namespace {

using namespace bmp2land;
using namespace testing_support;

land::LandModel modelOf(const Picture& picture) {
    const ByteVector file = makeBmp(picture);
    const auto headers = bitmap::readHeaders(file);
    const auto image = bitmap::readBody(file, *headers);
    auto model = land::convert(*image);
    EXPECT_TRUE(model);
    return std::move(*model);
}

TEST(LandWriter, WritesTheWholeFileByteForByte) {
    const Picture picture = samplePicture();
    MemorySink sink;
    ASSERT_TRUE(land::write(modelOf(picture), sink));
    const ByteVector expected = expectedLandFile(picture, samplePalette());
    ASSERT_EQ(sink.data.size(), expected.size());
    // Report the first differing offset rather than two megabytes.
    const auto mismatch = std::mismatch(sink.data.begin(), sink.data.end(), expected.begin());
    EXPECT_EQ(mismatch.first, sink.data.end())
        << "first difference at offset " << (mismatch.first - sink.data.begin());
}

// Accepts `budget` bytes, then refuses.
class FailingSink final : public ByteSink {
  public:
    explicit FailingSink(std::size_t budget) : budget_(budget) {}
    bool put(Bytes bytes) override {
        ++calls;
        if (bytes.size() > budget_)
            return false;
        budget_ -= bytes.size();
        return true;
    }
    int calls = 0;

  private:
    std::size_t budget_;
};

TEST(LandWriter, StopsAtTheFirstRefusedWrite) {
    const land::LandModel model = modelOf(samplePicture());
    for (std::size_t budget : {0U, 100U, 300000U, 1673660U}) {
        FailingSink sink(budget);
        EXPECT_FALSE(land::write(model, sink)) << budget;
    }
    FailingSink first(0);
    EXPECT_FALSE(land::write(model, first));
    EXPECT_EQ(first.calls, 1);
    FailingSink enough(1673661);
    EXPECT_TRUE(land::write(model, enough));
}

}  // namespace
