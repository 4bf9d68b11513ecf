// libFuzzer target for the settings file's text format. Whatever bytes the file holds, the
// program may write any of its keys: then every line that is no entry of a key written must be
// kept byte for byte and in order, each value written must read back as written and every
// other key as before, and the document must say it changed exactly when its text did (and
// not when the same values are written again). A file marked as UTF-16 must decode and encode
// back to its very bytes, and a save must stay in its encoding. Any violation aborts, which
// libFuzzer reports with the input that caused it.
#include "settings/ini_document.h"
#include "settings/settings_keys.h"
#include "settings/text_encoding.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <vector>

namespace {

void Require(bool holds, const char* violation) {
    if (holds)
        return;
    std::fprintf(stderr, "settings round trip violated: %s\n", violation);
    std::abort();
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return lower;
}

std::string_view Trimmed(std::string_view text, std::string_view blanks = " \t\r\n") {
    const auto first = text.find_first_not_of(blanks);
    return first == std::string_view::npos
               ? std::string_view()
               : text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Lines split after each LF, which stays with its line.
std::vector<std::string_view> Lines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t length = std::min(bytes.find('\n'), bytes.size() - 1) + 1;
        lines.push_back(bytes.substr(0, length));
        bytes.remove_prefix(length);
    }
    return lines;
}

// Whether every line of `original` but the entries named in `written` (in any letter case and
// section) is in `saved`, in order; a last line without a line end may gain one.
bool KeepsOtherLines(std::string_view original, std::string_view saved,
                     const std::set<std::string>& written) {
    const std::vector<std::string_view> after = Lines(saved);
    auto next = after.begin();
    for (const std::string_view line : Lines(original)) {
        const std::string_view text = Trimmed(line);
        const auto equals = text.find('=');
        if (equals != std::string_view::npos && equals > 0 && !text.starts_with(';') &&
            !text.starts_with('[') && written.contains(Lower(Trimmed(text.substr(0, equals)))))
            continue;
        next = std::find_if(next, after.end(), [line](std::string_view kept) {
            return kept == line || (!line.ends_with('\n') && kept.starts_with(line) &&
                                    Trimmed(kept.substr(line.size())).empty());
        });
        if (next == after.end())
            return false;
        ++next;
    }
    return true;
}

// What a value written reads back as: each line break (CR LF counting as one) a blank, then
// without blanks and tabs around it.
std::string StoredForm(std::string_view written) {
    std::string line;
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (written[i] != '\r' || !written.substr(i + 1).starts_with('\n'))
            line += written[i] == '\r' || written[i] == '\n' ? ' ' : written[i];
    }
    return std::string(Trimmed(line, " \t"));
}

// The values a run writes: pieces of the input itself (cut at character boundaries in a
// UTF-16 file, as the program writes only whole characters) or numbers at the ends of int,
// chosen by a hash of the input, so that every run of one input makes the same choices.
std::map<std::size_t, std::string> ChooseWrites(std::string_view text, bool wholeCharacters) {
    std::uint64_t hash = 14695981039346656037u; // FNV-1a
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    std::mt19937_64 random(hash);
    const auto pick = [&random](std::size_t most) {
        return std::uniform_int_distribution<std::size_t>(0, most)(random);
    };
    const auto boundary = [&](std::size_t at) {
        while (wholeCharacters && at < text.size() && (text[at] & 0xC0) == 0x80)
            ++at;
        return at;
    };
    std::map<std::size_t, std::string> writes;
    for (std::size_t key = 0; key < kAllKeys.size(); ++key) {
        if (pick(3) == 0)
            continue;
        const std::size_t start = boundary(pick(text.size()));
        const std::size_t end = std::max(start, boundary(start + pick(40)));
        const char* numbers[] = {"-2147483648", "2147483647", "0", "1"};
        writes[key] =
            pick(2) == 0 ? numbers[pick(3)] : std::string(text.substr(start, end - start));
    }
    return writes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto decoded = DecodeText(bytes);
    if (!decoded)
        return 0; // marked UTF-16 but not UTF-16: the program keeps such a file as it is
    Require(EncodeText(decoded->utf8, decoded->encoding) == bytes, "decoding changed the file");
    std::string_view file = decoded->utf8;
    while (file.starts_with("\xEF\xBB\xBF"))
        file.remove_prefix(3);
    IniDocument document = IniDocument::Parse(decoded->utf8);
    Require(document.Serialize() == file, "parsing and serializing changed the file");

    std::vector<std::optional<std::string>> before;
    for (const AnyKey& key : kAllKeys)
        before.push_back(document.Get(key.section, key.name));
    const auto writes = ChooseWrites(decoded->utf8, decoded->encoding != TextEncoding::Utf8);
    std::set<std::string> written;
    for (const auto& [key, value] : writes) {
        document.Set(kAllKeys[key].section, kAllKeys[key].name, value);
        written.insert(Lower(kAllKeys[key].name));
    }
    const std::string saved = document.Serialize();
    Require(document.Modified() == (saved != file), "Modified() disagrees with the text");
    Require(KeepsOtherLines(file, saved, written), "a line the program does not own changed");

    const auto reread = DecodeText(EncodeText(saved, decoded->encoding));
    Require(reread && reread->encoding == decoded->encoding, "a save left the file's encoding");
    IniDocument again = IniDocument::Parse(reread->utf8);
    Require(again.Serialize() == saved, "the saved text does not parse back to itself");
    for (std::size_t key = 0; key < kAllKeys.size(); ++key) {
        const auto value = writes.find(key);
        const auto expected = value == writes.end() ? before[key] : StoredForm(value->second);
        Require(again.Get(kAllKeys[key].section, kAllKeys[key].name) == expected,
                "a value does not read back as written");
        if (value != writes.end())
            again.Set(kAllKeys[key].section, kAllKeys[key].name, value->second);
    }
    Require(!again.Modified(), "writing the stored values again counts as a change");
    return 0;
}
