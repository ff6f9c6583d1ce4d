#pragma once
// Fixed-point number with four decimal places, the type numbers read from text and sort payloads use.
// 1.5 is held as Raw = 15000; the range is about ±9.2 × 10^14.
#include <compare>
#include <cstdint>
#include <limits>

struct Fixed4 {
    static constexpr std::int64_t Scale = 10000;
    std::int64_t Raw = 0;

    static constexpr Fixed4 From_Whole(std::int64_t whole) { return Fixed4{whole * Scale}; }
    static constexpr Fixed4 Max() { return Fixed4{std::numeric_limits<std::int64_t>::max()}; }

    // The whole part, rounded toward zero.
    constexpr std::int64_t Whole() const { return Raw / Scale; }
    constexpr double To_Double() const { return static_cast<double>(Raw) / Scale; }

    friend constexpr auto operator<=>(Fixed4, Fixed4) = default;
};
