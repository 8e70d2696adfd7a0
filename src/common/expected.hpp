#pragma once

// A small stand-in for std::expected (C++23): a stage returns either its value
// or the one failure kind it found.

#include <utility>
#include <variant>

namespace bmp2land {

template <typename E>
struct Unexpected {
    E error;
};

template <typename E>
Unexpected<E> fail(E error) {
    return Unexpected<E>{error};
}

template <typename T, typename E>
class Expected {
  public:
    // Implicit, like std::expected, so that a stage can `return value;`.
    // cppcheck-suppress noExplicitConstructor
    Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    // cppcheck-suppress noExplicitConstructor
    Expected(Unexpected<E> failure) : state_(std::in_place_index<1>, failure.error) {}

    [[nodiscard]] bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() { return std::get<0>(state_); }
    const T& value() const { return std::get<0>(state_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    [[nodiscard]] E error() const { return std::get<1>(state_); }

  private:
    std::variant<T, E> state_;
};

}  // namespace bmp2land
