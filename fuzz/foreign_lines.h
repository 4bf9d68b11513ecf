#pragma once
// Which lines of a settings file the program owns, worked out apart from IniDocument so that
// the one can check the other: the first entry of each key it writes, within the first
// section of that name (names compared regardless of ASCII letter case). Every other line
// must survive a save byte for byte.
#include <set>
#include <string>
#include <string_view>
#include <utility>

// Section and key of each written key, in lower case.
using WrittenKeys = std::set<std::pair<std::string, std::string>>;

std::string LowerAscii(std::string_view text);

// Whether `saved` holds every line of `original` that the program does not own, in order and
// byte for byte, followed only by blank lines and the headers of sections that `original`
// lacked. A last line without a line end may gain one.
bool KeepsForeignLines(std::string_view original, std::string_view saved,
                       const WrittenKeys& written);
