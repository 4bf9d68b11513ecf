#pragma once
// The settings file's encodings. Inside the program its text is UTF-8; a file saved as UTF-16
// with a byte-order mark (a Windows editor's "Unicode") is read from UTF-16 and written back
// to it, so that it never ends up in two encodings at once.
#include <optional>
#include <string>
#include <string_view>

enum class TextEncoding { Utf8, Utf16LE, Utf16BE };

struct DecodedText {
    std::string utf8;
    TextEncoding encoding = TextEncoding::Utf8;
};

// UTF-16 after its mark becomes UTF-8; any other bytes are kept as they are, to be read as
// UTF-8 leniently. Empty when a UTF-16 mark stands before what is not UTF-16.
std::optional<DecodedText> DecodeText(std::string_view bytes);

// The inverse of DecodeText; in UTF-16, a byte of `utf8` that starts no character becomes
// U+FFFD. UTF-8 that begins like a UTF-16 mark is written after a UTF-8 mark.
std::string EncodeText(std::string_view utf8, TextEncoding encoding);
