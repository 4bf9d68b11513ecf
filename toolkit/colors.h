#pragma once
// 32-bit ARGB colours as the windows are designed with them. Free of Qt so that logic and
// settings code can name colours too.
#include <cstdint>

using TAlphaColor = std::uint32_t;

inline constexpr TAlphaColor claBlue = 0xFF0000FF;
inline constexpr TAlphaColor claWhite = 0xFFFFFFFF;
inline constexpr TAlphaColor claYellow = 0xFFFFFF00;
inline constexpr TAlphaColor claRed = 0xFFFF0000;
inline constexpr TAlphaColor claGold = 0xFFFFD700;
inline constexpr TAlphaColor claChartreuse = 0xFF7FFF00;
inline constexpr TAlphaColor claBlack = 0xFF000000;
inline constexpr TAlphaColor claNull = 0x00000000;
