#pragma once

// A byte vector whose resize leaves new bytes uninitialised: for buffers that
// are about to be filled by a read or a copy, zeroing them first would cost
// as much as the fill.

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace bmp2land {

template <typename T>
struct UninitializedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };
    UninitializedAllocator() = default;
    template <typename U>
    explicit UninitializedAllocator(const UninitializedAllocator<U>& /*other*/) noexcept {}

    template <typename U>
    void construct(U* place) noexcept {
        ::new (static_cast<void*>(place)) U;  // default-initialised: no zeroing
    }
    template <typename U, typename... Args>
    void construct(U* place, Args&&... args) {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};

using ByteBuffer = std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>>;

}  // namespace bmp2land
