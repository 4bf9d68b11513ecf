#include "morse/morse.h"

#include "settings/callsign_characters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>

namespace morse {
namespace {

constexpr std::array<std::string_view, 26> kLetters = {
    ".-",   "-...", "-.-.", "-..",  ".",   "..-.", "--.",  "....", "..",
    ".---", "-.-",  ".-..", "--",   "-.",  "---",  ".--.", "--.-", ".-.",
    "...",  "-",    "..-",  "...-", ".--", "-..-", "-.--", "--.."};
constexpr std::array<std::string_view, 10> kDigits = {"-----", ".----", "..---", "...--", "....-",
                                                      ".....", "-....", "--...", "---..", "----."};

constexpr int kDotUnits = 1;
constexpr int kDashUnits = 3;
constexpr int kSymbolGapUnits = 1;
constexpr int kCharacterGapUnits = 3;
constexpr int kWordGapUnits = 7;

constexpr int kMinSampleRate = 8000;
constexpr int kMaxSampleRate = 192000;
constexpr double kRampSeconds = 0.005;
constexpr double kTailSeconds = 0.1;
// As loud as the built-in tone.
constexpr double kAmplitude = 0.4 * 32767;

// Dots and dashes of a sendable character; empty for any other.
std::string_view Pattern(std::string_view character) {
    if (character.size() != 1)
        return {};
    const char c = character[0];
    if (c >= 'A' && c <= 'Z')
        return kLetters[c - 'A'];
    if (c >= 'a' && c <= 'z')
        return kLetters[c - 'a'];
    if (c >= '0' && c <= '9')
        return kDigits[c - '0'];
    switch (c) {
    case '/':
        return "-..-.";
    case '?':
        return "..--..";
    case '.':
        return ".-.-.-";
    case ',':
        return "--..--";
    case '=':
        return "-...-";
    case '-':
        return "-....-";
    default:
        return {};
    }
}

int PatternUnits(std::string_view pattern) {
    int units = kSymbolGapUnits * int(pattern.size() - 1);
    for (const char symbol : pattern)
        units += symbol == '.' ? kDotUnits : kDashUnits;
    return units;
}

class Encoder {
public:
    void Add(std::string_view character) {
        if (IsBlank(character)) {
            m_wordBreak = true;
            return;
        }
        const std::string_view pattern = Pattern(Unslashed(character));
        if (pattern.empty())
            Skip(character);
        else
            Send(pattern);
    }
    bool Cut() const { return m_keying.cut; }
    Keying Result() && { return std::move(m_keying); }

private:
    void Skip(std::string_view character) {
        auto& skipped = m_keying.skipped;
        if (std::find(skipped.begin(), skipped.end(), character) == skipped.end())
            skipped.emplace_back(character);
    }

    void Send(std::string_view pattern) {
        const int gap =
            m_keying.elements.empty() ? 0 : (m_wordBreak ? kWordGapUnits : kCharacterGapUnits);
        if (m_units + gap + PatternUnits(pattern) > kMaxUnits) {
            m_keying.cut = true;
            return;
        }
        m_wordBreak = false;
        Key(false, gap);
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            Key(false, i == 0 ? 0 : kSymbolGapUnits);
            Key(true, pattern[i] == '.' ? kDotUnits : kDashUnits);
        }
    }

    void Key(bool down, int units) {
        if (units == 0)
            return;
        m_keying.elements.push_back({down, units});
        m_units += units;
    }

    Keying m_keying;
    int m_units = 0;
    bool m_wordBreak = false;
};

Tone Clamped(Tone tone) {
    tone.wpm = std::clamp(tone.wpm, kMinWpm, kMaxWpm);
    tone.hz = std::clamp(tone.hz, kMinToneHz, kMaxToneHz);
    tone.sampleRate = std::clamp(tone.sampleRate, kMinSampleRate, kMaxSampleRate);
    return tone;
}

// A raised-cosine rise over the first `ramp` samples of `length` and the same fall at the end.
double Envelope(long index, long length, long ramp) {
    const long edge = std::min(index, length - 1 - index);
    if (edge >= ramp)
        return 1.0;
    return 0.5 * (1.0 - std::cos(std::numbers::pi * (double(edge) + 0.5) / double(ramp)));
}

void KeyDown(std::vector<std::int16_t>& samples, long begin, long end, const Tone& tone) {
    const long length = end - begin;
    const long ramp = std::min(std::lround(kRampSeconds * tone.sampleRate), length / 2);
    const double step = 2 * std::numbers::pi * tone.hz / tone.sampleRate;
    for (long i = 0; i < length; ++i) {
        const double value = kAmplitude * Envelope(i, length, ramp) * std::sin(step * double(i));
        samples[begin + i] = static_cast<std::int16_t>(std::lround(value));
    }
}

// The length of the keying, or nothing for elements Encode cannot give.
std::optional<int> TotalUnits(const std::vector<Element>& elements) {
    int units = 0;
    for (const Element& element : elements) {
        if (element.units < 1 || element.units > kWordGapUnits || units > kMaxUnits)
            return std::nullopt;
        units += element.units;
    }
    return units <= kMaxUnits ? std::optional(units) : std::nullopt;
}

} // namespace

Keying Encode(std::string_view utf8Text) {
    Encoder encoder;
    while (!utf8Text.empty() && !encoder.Cut()) {
        const std::string_view character = FirstCharacter(utf8Text);
        encoder.Add(character);
        utf8Text.remove_prefix(character.size());
    }
    return std::move(encoder).Result();
}

std::vector<std::int16_t> Render(const std::vector<Element>& elements, Tone tone) {
    const std::optional<int> totalUnits = TotalUnits(elements);
    if (elements.empty() || !totalUnits)
        return {};
    tone = Clamped(tone);
    // Element edges are rounded from the running total of units, so rounding never adds up.
    const double unitSamples = tone.sampleRate * 1.2 / tone.wpm;
    const auto edge = [unitSamples](int units) { return std::lround(units * unitSamples); };
    std::vector<std::int16_t> samples(edge(*totalUnits) +
                                      std::lround(kTailSeconds * tone.sampleRate));
    int units = 0;
    for (const Element& element : elements) {
        if (element.keyDown)
            KeyDown(samples, edge(units), edge(units + element.units), tone);
        units += element.units;
    }
    return samples;
}

} // namespace morse
