#pragma once

// Where a writer puts its bytes: a file being written, or memory in tests and
// benchmarks.

#include <cstdint>
#include <vector>

#include "common/byte_order.hpp"

namespace bmp2land {

class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // Appends all of `bytes`; false once anything could not be written.
    [[nodiscard]] virtual bool put(Bytes bytes) = 0;
};

class MemorySink final : public ByteSink {
  public:
    [[nodiscard]] bool put(Bytes bytes) override {
        data.insert(data.end(), bytes.begin(), bytes.end());
        return true;
    }
    std::vector<std::uint8_t> data;
};

}  // namespace bmp2land
