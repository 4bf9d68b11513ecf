#pragma once
// The characters of a callsign as operators type it, for what sends or says it (the Morse, the
// speech): one UTF-8 character at a time, a combining slash kept with the character under it,
// and a zero written slashed read as the digit.
#include <string>
#include <string_view>
#include <vector>

// The first character of the text: its lead byte and any continuation bytes, and a combining
// slash over it.
std::string_view FirstCharacter(std::string_view text);

// "0" for a zero written slashed (the letters Ø and ø, the empty-set and diameter signs, and a
// 0 under a combining slash); any other character as it is.
std::string_view Unslashed(std::string_view character);

bool IsBlank(std::string_view character);

// Characters as a message names them: "Ä #".
std::string Listed(const std::vector<std::string>& characters);
