#include "platform/temporary_name.hpp"

#include <array>
#include <chrono>
#include <cstdint>
#include <random>

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
    std::string name = target + ".";
    std::uint64_t word = generator();
    for (int i = 0; i < 16; ++i, word >>= 4) {
        name += kHex[word & 0xFU];
    }
    return name + ".tmp";
}

}  // namespace bmp2land::platform
