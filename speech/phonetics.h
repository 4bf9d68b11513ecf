#pragma once
// The callsign as the words a speech synthesizer reads out: in the ITU phonetic alphabet
// ("Delta Lima One Alpha Bravo Charlie") or letter by letter. Plain values in and out;
// synthesizing the words and refusing a text with characters that cannot be said are left to
// the callers.
#include <string>
#include <string_view>
#include <vector>

namespace speech {

enum class Spelling { Phonetics, Letters };

// A bound on the words, so that a long text cannot ask for minutes of speech.
inline constexpr int kMaxWords = 40;

struct Saying {
    // The words with blanks between them or, letter by letter, with commas: a voice reads a
    // lone "A" between other words as the article, between commas as the letter. Empty when
    // nothing can be said, when a character cannot, or when it takes more than kMaxWords.
    std::string text;
    // Each character that cannot be said (as its UTF-8 bytes), once, in order of appearance.
    std::vector<std::string> unsayable;
    bool tooLong = false;
};

// Letters (either case) and digits are said, a zero written slashed as zero, and "/" as
// "stroke"; a last part "/P" is said as "portable", "/M" "mobile", "/MM" "maritime mobile" and
// "/AM" "aeronautical mobile", and any other ("/QRP") is spelled. Blanks separate words.
Saying Spell(std::string_view utf8Callsign, Spelling spelling);

} // namespace speech
