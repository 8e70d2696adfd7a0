#include "platform/temporary_name.hpp"

#include <array>
#include <chrono>
#include <cstdint>
#include <random>

#include "platform/path_queries.hpp"

namespace bmp2land::platform {
namespace {

// A word from the system's random source, where it has one.
std::uint32_t entropy() {
    try {
        return static_cast<std::uint32_t>(std::random_device{}());
    } catch (...) {
        return 0;
    }
}

// File systems allow names of 255 bytes (Windows: 255 UTF-16 units, never
// fewer than bytes), and the temporary name adds 21 to the target's name: a
// long name is cut, at a character boundary, so that the file can be made.
std::string shortened(const std::string& target) {
    constexpr std::size_t kLongestName = 255 - 21;
    const std::size_t nameStart = target.find_last_of(kPathSeparators) + 1;  // npos + 1 is 0
    if (target.size() - nameStart <= kLongestName) {
        return target;
    }
    std::size_t end = nameStart + kLongestName;
    while (end > nameStart && (static_cast<unsigned char>(target[end]) & 0xC0U) == 0x80U) {
        --end;  // not inside a UTF-8 sequence
    }
    return target.substr(0, end);
}

}  // namespace

// Two runs started in the same clock tick still draw different random words.
std::string temporaryName(const std::string& target) {
    static std::mt19937_64 generator = [] {
        const int onTheStack = 0;  // its address differs from run to run
        const auto clock = static_cast<std::uint64_t>(
            std::chrono::high_resolution_clock::now().time_since_epoch().count());
        std::seed_seq seed{
            static_cast<std::uint32_t>(clock), static_cast<std::uint32_t>(clock >> 32),
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&onTheStack)), entropy()};
        return std::mt19937_64(seed);
    }();
    constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                           '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    std::string name = shortened(target) + ".";
    std::uint64_t word = generator();
    for (int i = 0; i < 16; ++i, word >>= 4) {
        name += kHex[word & 0xFU];
    }
    return name + ".tmp";
}

}  // namespace bmp2land::platform
