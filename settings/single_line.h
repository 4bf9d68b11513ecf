#pragma once
// A text as one line: each line break (CRLF, LF or CR) becomes one blank. The settings file
// stores every value so, and the edit box folds pasted text the same way, so that what it
// commits is what the file gives back. For std::string and QString alike.
#include <iterator>

template <class Text> Text SingleLine(const Text& text) {
    using Unit = typename Text::value_type;
    Text line;
    for (auto at = text.begin(); at != text.end(); ++at) {
        if (*at == Unit('\r') && std::next(at) != text.end() && *std::next(at) == Unit('\n'))
            continue;
        line += *at == Unit('\r') || *at == Unit('\n') ? Unit(' ') : *at;
    }
    return line;
}
