#pragma once
// The main window's audioChoice: what sounds at a ten-minute mark. Every choice the program
// knows is listed here, so that a new one is added in one place.
#include <algorithm>
#include <array>
#include <cstdint>

inline constexpr std::int32_t kNoAudio = 0;
inline constexpr std::int32_t kSystemTone = 1;
inline constexpr std::int32_t kAudioFile = 2;
inline constexpr std::array kAudioChoices{kNoAudio, kSystemTone, kAudioFile};

// A stored value that is no known choice (a hand-edited file) would leave every mark silent:
// it is read as the default, the system tone.
constexpr std::int32_t KnownAudioChoice(std::int32_t stored) {
    return std::ranges::find(kAudioChoices, stored) != kAudioChoices.end() ? stored : kSystemTone;
}
