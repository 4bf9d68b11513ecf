#include "speech/phonetics.h"

#include "settings/callsign_characters.h"

#include <algorithm>
#include <array>

namespace speech {
namespace {

constexpr std::array<std::string_view, 26> kAlphabet = {
    "Alpha",  "Bravo", "Charlie", "Delta",  "Echo",     "Foxtrot", "Golf",   "Hotel",  "India",
    "Juliet", "Kilo",  "Lima",    "Mike",   "November", "Oscar",   "Papa",   "Quebec", "Romeo",
    "Sierra", "Tango", "Uniform", "Victor", "Whiskey",  "X-ray",   "Yankee", "Zulu"};
constexpr std::array<std::string_view, 10> kDigits = {"Zero", "One", "Two",   "Three", "Four",
                                                      "Five", "Six", "Seven", "Eight", "Nine"};

// The last parts said as words: what the station is, not letters of its callsign.
struct Suffix {
    std::string_view written;
    std::string_view said;
};
constexpr std::array<Suffix, 4> kSuffixes = {
    {{"P", "portable"}, {"M", "mobile"}, {"MM", "maritime mobile"}, {"AM", "aeronautical mobile"}}};

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsLetterOrDigit(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The callsign in upper-case ASCII, one blank where blanks were; what cannot be said goes to
// `unsayable`.
std::string Sayable(std::string_view text, std::vector<std::string>& unsayable) {
    std::string sayable;
    while (!text.empty()) {
        const std::string_view character = FirstCharacter(text);
        text.remove_prefix(character.size());
        const std::string_view meant = Unslashed(character);
        if (IsBlank(meant)) {
            if (!sayable.empty() && sayable.back() != ' ')
                sayable += ' ';
        } else if (meant.size() == 1 && (IsLetterOrDigit(Upper(meant[0])) || meant[0] == '/')) {
            sayable += Upper(meant[0]);
        } else if (std::ranges::find(unsayable, character) == unsayable.end()) {
            unsayable.emplace_back(character);
        }
    }
    if (!sayable.empty() && sayable.back() == ' ')
        sayable.pop_back();
    return sayable;
}

// The word for a letter, a digit or the stroke; letter by letter, a letter or digit stands for
// itself.
std::string Word(char c, Spelling spelling) {
    if (c == '/')
        return "stroke";
    if (spelling == Spelling::Letters)
        return std::string(1, c);
    return std::string(c >= '0' && c <= '9' ? kDigits[c - '0'] : kAlphabet[c - 'A']);
}

// Takes a last part that is said as words off the end of `sayable`; returns those words, or
// none.
std::string_view TakeSuffix(std::string& sayable) {
    const std::size_t stroke = sayable.rfind('/');
    if (stroke == std::string::npos)
        return {};
    const auto known = std::ranges::find(kSuffixes, std::string_view(sayable).substr(stroke + 1),
                                         &Suffix::written);
    if (known == kSuffixes.end())
        return {};
    sayable.erase(stroke);
    return known->said;
}

} // namespace

Saying Spell(std::string_view utf8Callsign, Spelling spelling) {
    Saying saying;
    std::string sayable = Sayable(utf8Callsign, saying.unsayable);
    const std::string_view suffix = TakeSuffix(sayable);
    std::vector<std::string> words;
    for (const char c : sayable)
        if (c != ' ')
            words.push_back(Word(c, spelling));
    if (!suffix.empty())
        words.emplace_back(suffix);
    saying.tooLong = words.size() > kMaxWords;
    if (!saying.unsayable.empty() || saying.tooLong)
        return saying;
    const std::string_view gap = spelling == Spelling::Letters ? ", " : " ";
    for (const std::string& word : words)
        saying.text += (saying.text.empty() ? "" : std::string(gap)) + word;
    return saying;
}

} // namespace speech
