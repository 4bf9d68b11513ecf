#include "settings/text_encoding.h"

#include <utility>

namespace {

constexpr std::string_view kUtf16LEMark = "\xFF\xFE";
constexpr std::string_view kUtf16BEMark = "\xFE\xFF";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

char32_t UnitAt(std::string_view bytes, std::size_t at, bool bigEndian) {
    const char32_t first = static_cast<unsigned char>(bytes[at]);
    const char32_t second = static_cast<unsigned char>(bytes[at + 1]);
    return bigEndian ? (first << 8 | second) : (second << 8 | first);
}

void AppendUtf8(std::string& text, char32_t c) {
    static constexpr unsigned char kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
    const int trailing = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    text += static_cast<char>(kLead[trailing] | c >> (6 * trailing));
    for (int i = trailing - 1; i >= 0; --i)
        text += static_cast<char>(0x80 | (c >> (6 * i) & 0x3F));
}

// Odd lengths and unpaired surrogates are no UTF-16.
std::optional<std::string> Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    std::string text;
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        char32_t c = UnitAt(bytes, at, bigEndian);
        if (IsHighSurrogate(c) && at + 2 < bytes.size() &&
            IsLowSurrogate(UnitAt(bytes, at + 2, bigEndian))) {
            c = 0x10000 + ((c - 0xD800) << 10) + (UnitAt(bytes, at + 2, bigEndian) - 0xDC00);
            at += 2;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            return std::nullopt;
        }
        AppendUtf8(text, c);
    }
    return text;
}

// The character that starts at `at` and its length in bytes; U+FFFD and 1 for a byte that
// starts no well-formed character.
std::pair<char32_t, std::size_t> NextUtf8(std::string_view text, std::size_t at) {
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length <= 1 || at + length > text.size())
        return {length == 1 ? lead : kReplacement, 1};
    char32_t c = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return {kReplacement, 1};
        c = c << 6 | (next & 0x3Fu);
    }
    if (c < kSmallest[length] || c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c))
        return {kReplacement, 1};
    return {c, length};
}

void AppendUnit(std::string& bytes, char32_t unit, bool bigEndian) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
}

std::string Utf8ToUtf16(std::string_view text, bool bigEndian) {
    std::string bytes(bigEndian ? kUtf16BEMark : kUtf16LEMark);
    for (std::size_t at = 0; at < text.size();) {
        const auto [c, length] = NextUtf8(text, at);
        at += length;
        if (c < 0x10000) {
            AppendUnit(bytes, c, bigEndian);
            continue;
        }
        AppendUnit(bytes, 0xD800 + ((c - 0x10000) >> 10), bigEndian);
        AppendUnit(bytes, 0xDC00 + ((c - 0x10000) & 0x3FF), bigEndian);
    }
    return bytes;
}

bool StartsWithUtf16Mark(std::string_view bytes) {
    return bytes.starts_with(kUtf16LEMark) || bytes.starts_with(kUtf16BEMark);
}

} // namespace

std::optional<DecodedText> DecodeText(std::string_view bytes) {
    const bool bigEndian = bytes.starts_with(kUtf16BEMark);
    if (!StartsWithUtf16Mark(bytes))
        return DecodedText{std::string(bytes), TextEncoding::Utf8};
    auto text = Utf16ToUtf8(bytes.substr(kUtf16LEMark.size()), bigEndian);
    if (!text)
        return std::nullopt;
    return DecodedText{std::move(*text), bigEndian ? TextEncoding::Utf16BE : TextEncoding::Utf16LE};
}

std::string EncodeText(std::string_view utf8, TextEncoding encoding) {
    // A UTF-8 mark keeps text that begins like a UTF-16 mark from being read as UTF-16.
    if (encoding == TextEncoding::Utf8)
        return StartsWithUtf16Mark(utf8) ? std::string(kUtf8Mark).append(utf8) : std::string(utf8);
    return Utf8ToUtf16(utf8, encoding == TextEncoding::Utf16BE);
}
