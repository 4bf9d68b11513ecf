#pragma once
// What sounds at a mark, with the values the "Audio" key stores. Every choice the program knows
// is listed here, so that a new one is added in one place.
#include <algorithm>
#include <array>
#include <cstdint>

enum class AudioChoice : std::int32_t {
    NoAudio = 0,
    SystemTone = 1,
    AudioFile = 2,
    Morse = 3,
    Speech = 4,
};

inline constexpr std::array kAudioChoices{AudioChoice::NoAudio, AudioChoice::SystemTone,
                                          AudioChoice::AudioFile, AudioChoice::Morse,
                                          AudioChoice::Speech};

// A stored value that is no known choice (a hand-edited file) would leave every mark silent:
// it is read as the default, the system tone.
constexpr AudioChoice KnownAudioChoice(std::int32_t stored) {
    const auto choice = static_cast<AudioChoice>(stored);
    return std::ranges::find(kAudioChoices, choice) != kAudioChoices.end()
               ? choice
               : AudioChoice::SystemTone;
}
