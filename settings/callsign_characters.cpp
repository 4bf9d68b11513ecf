#include "settings/callsign_characters.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::string_view, 6> kSlashedZeros = {"\u00D8", "\u00F8",  "\u2205",
                                                           "\u2300", "0\u0337", "0\u0338"};

// A combining slash (U+0337, U+0338) belongs to the character before it.
bool IsCombiningSlash(std::string_view text) {
    return text.starts_with("\u0337") || text.starts_with("\u0338");
}

} // namespace

std::string_view FirstCharacter(std::string_view text) {
    const auto codePoint = [text](std::size_t from) {
        std::size_t end = from + 1;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
        return end;
    };
    std::size_t length = codePoint(0);
    if (IsCombiningSlash(text.substr(length)))
        length = codePoint(length);
    return text.substr(0, length);
}

std::string_view Unslashed(std::string_view character) {
    return std::ranges::find(kSlashedZeros, character) != kSlashedZeros.end() ? "0" : character;
}

bool IsBlank(std::string_view character) {
    return character == " " || character == "\t";
}

std::string Listed(const std::vector<std::string>& characters) {
    std::string listed;
    for (const std::string& character : characters)
        listed += (listed.empty() ? "" : " ") + character;
    return listed;
}
