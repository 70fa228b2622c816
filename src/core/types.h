// The scalar types the game's state is made of.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>

namespace vorlax {

// A signed 32-bit whole number.
using Long = std::int32_t;

// A 16-bit boolean: true is -1 and false is 0. Tests for "true" compare with
// -1 and tests for "false" with 0, so a Flag holding anything else is neither.
using Flag = std::int16_t;
inline constexpr Flag True = -1;
inline constexpr Flag False = 0;

// red + 256 * green + 65536 * blue.
using Colour = Long;

constexpr Colour RGB(int red, int green, int blue) {
    return static_cast<Colour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(Colour c) {
    return c & 0xFF;
}
constexpr int GreenOf(Colour c) {
    return (c >> 8) & 0xFF;
}
constexpr int BlueOf(Colour c) {
    return (c >> 16) & 0xFF;
}

// Handle of an off-screen drawing surface; 0 means none.
using SurfaceHandle = Long;

// A fixed-size array indexed Lo..Hi, like the game's slot tables (enemies
// 1..10, shots 1..5, stars 0..100). Out-of-range indexes are caught in debug
// and sanitizer builds.
template <typename T, int Lo, int Hi>
class Slots {
  public:
    static constexpr int lower = Lo;
    static constexpr int upper = Hi;
    static_assert(Lo <= Hi);

    T& operator[](int i) {
        assert(i >= Lo && i <= Hi);
        return items_[static_cast<std::size_t>(i - Lo)];
    }
    const T& operator[](int i) const {
        assert(i >= Lo && i <= Hi);
        return items_[static_cast<std::size_t>(i - Lo)];
    }
    void fill(const T& value) { items_.fill(value); }
    bool operator==(const Slots&) const = default;

  private:
    std::array<T, Hi - Lo + 1> items_{};
};

// A two-dimensional table indexed (Lo1..Hi1, Lo2..Hi2).
template <typename T, int Lo1, int Hi1, int Lo2, int Hi2>
class Slots2 {
  public:
    T& operator()(int i, int j) {
        assert(i >= Lo1 && i <= Hi1 && j >= Lo2 && j <= Hi2);
        return items_[index(i, j)];
    }
    const T& operator()(int i, int j) const {
        assert(i >= Lo1 && i <= Hi1 && j >= Lo2 && j <= Hi2);
        return items_[index(i, j)];
    }
    void fill(const T& value) { items_.fill(value); }
    bool operator==(const Slots2&) const = default;

  private:
    static constexpr std::size_t index(int i, int j) {
        return static_cast<std::size_t>((i - Lo1) * (Hi2 - Lo2 + 1) + (j - Lo2));
    }
    std::array<T, (Hi1 - Lo1 + 1) * (Hi2 - Lo2 + 1)> items_{};
};

}  // namespace vorlax
