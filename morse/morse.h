#pragma once
// The callsign in Morse: which characters are sent and how they are keyed (standard timing),
// and the keyed tone as 16-bit mono PCM. Plain values in and out; playing the samples, choosing
// the speed and tone and refusing a text with characters that cannot be sent are left to the
// callers.
//
// Timing is the PARIS standard: a unit (a dot) lasts 1200/WPM ms; a dash is 3 units, the gap
// within a character 1, between characters 3 and between words 7.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morse {

inline constexpr int kMinWpm = 5;
inline constexpr int kMaxWpm = 20;
inline constexpr int kMinToneHz = 300;
inline constexpr int kMaxToneHz = 1200;
// A bound on the keyed length, so that a long text cannot ask for minutes of audio: 500 units
// are ten PARIS words, 2 minutes at 5 WPM.
inline constexpr int kMaxUnits = 500;

// The key down (a dot or dash) or up (a gap) for a number of units.
struct Element {
    bool keyDown = false;
    int units = 0;
    bool operator==(const Element&) const = default;
};

struct Keying {
    // Starts and ends with the key down; empty when nothing is sendable.
    std::vector<Element> elements;
    // Each character that is not sent (as its UTF-8 bytes), once, in order of appearance.
    // Blanks separate words and are not reported.
    std::vector<std::string> skipped;
    // True when the text went past kMaxUnits and its end was left out, whole characters at a
    // time.
    bool cut = false;
};

// Letters (either case), digits and / ? . , = - are sent, and a zero written slashed (Ø ø ∅ ⌀,
// or 0 under a combining slash) as the digit; blanks separate words (several count as one;
// leading and trailing ones as none); a skipped character is as if absent.
Keying Encode(std::string_view utf8Text);

struct Tone {
    int wpm = 15;
    int hz = 700;
    int sampleRate = 48000;
};

// The keyed tone: each element shaped with a 5 ms raised-cosine rise and fall, silence in the
// gaps and 100 ms of silence after the last element (media layers drop the last few
// milliseconds they play). A speed or tone outside its range above is clamped to the nearest
// limit, and a sample rate to 8000..192000 Hz. No elements, or elements Encode cannot give (an
// element outside 1..7 units, more than kMaxUnits in all), give no samples.
std::vector<std::int16_t> Render(const std::vector<Element>& elements, Tone tone);

} // namespace morse
