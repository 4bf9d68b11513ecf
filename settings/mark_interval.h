#pragma once
// The minutes between two marks, as the "Interval" key stores them: each divides the hour, so
// the marks stay on the clock (15: minutes 00, 15, 30 and 45). Licences differ between
// countries; ten is the default.
#include <algorithm>
#include <array>
#include <cstdint>

inline constexpr std::array<std::int32_t, 6> kMarkIntervals{5, 10, 15, 20, 30, 60};
inline constexpr std::int32_t kDefaultMarkInterval = 10;

// Any other stored value (a hand-edited file) means ten.
constexpr std::int32_t KnownMarkInterval(std::int32_t stored) {
    return std::ranges::find(kMarkIntervals, stored) != kMarkIntervals.end() ? stored
                                                                             : kDefaultMarkInterval;
}
