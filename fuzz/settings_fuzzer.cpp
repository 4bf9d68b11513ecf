// libFuzzer target for the settings file's text format. Whatever bytes the file holds, the
// program reads every key with its default and writes values back as its windows do; then
// each value written must read back as written, every line the program does not own must be
// kept byte for byte, and the document must say it changed exactly when its text did. A file
// marked as UTF-16 is decoded first and must encode back to its very bytes, and a save must
// stay in its encoding.
// Any violation aborts, which libFuzzer reports with the input that caused it.
#include "fuzz/foreign_lines.h"
#include "fuzz/program_keys.h"
#include "settings/ini_document.h"
#include "settings/text_encoding.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <random>
#include <vector>

namespace {

using Values = std::map<std::pair<std::string_view, std::string_view>, std::string>;
using Reads = std::vector<std::string>; // in the order of kAllKeys

void Require(bool holds, const char* violation) {
    if (holds)
        return;
    std::fprintf(stderr, "settings round trip violated: %s\n", violation);
    std::abort();
}

std::string_view WithoutByteOrderMarks(std::string_view bytes) {
    while (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return bytes;
}

// The values each write varies from what was read, chosen by a hash of the input so that
// every run of one input makes the same choices.
class Choices {
public:
    // Texts are cut from `text`, on character boundaries where it is to be UTF-16: the
    // program writes only whole characters.
    Choices(std::string_view text, bool wholeCharacters)
        : m_bytes(text)
        , m_wholeCharacters(wholeCharacters)
        , m_random(Hash(text)) {}

    bool OneIn(unsigned n) { return std::uniform_int_distribution<unsigned>(1, n)(m_random) == 1; }

    std::string Vary(const AnyKey& key, const std::string& read) {
        switch (KindOf(key)) {
        case ValueKind::Integer:
            return std::to_string(VaryInteger(ParseInt32(read).value_or(0)));
        case ValueKind::Boolean:
            return OneIn(2) ? read : (read == "1" ? "0" : "1");
        case ValueKind::Text:
            break;
        }
        return OneIn(3) ? read : std::string(Slice());
    }

private:
    static std::uint64_t Hash(std::string_view bytes) {
        std::uint64_t hash = 14695981039346656037u; // FNV-1a
        for (const char c : bytes)
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
        return hash;
    }

    std::int32_t VaryInteger(std::int32_t read) {
        using Limits = std::numeric_limits<std::int32_t>;
        switch (std::uniform_int_distribution<int>(0, 4)(m_random)) {
        case 0:
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(read) + 1u);
        case 1:
            return Limits::min();
        case 2:
            return Limits::max();
        case 3:
            return -(read == Limits::min() ? Limits::max() : read);
        }
        return read;
    }

    // A piece of the input itself, so that values carry whatever the file can hold.
    std::string_view Slice() {
        std::size_t start = std::uniform_int_distribution<std::size_t>(0, m_bytes.size())(m_random);
        const std::size_t most = std::min<std::size_t>(m_bytes.size() - start, 40);
        std::size_t end = start + std::uniform_int_distribution<std::size_t>(0, most)(m_random);
        if (m_wholeCharacters) {
            start = NextCharacter(start);
            end = std::max(start, NextCharacter(end));
        }
        return m_bytes.substr(start, end - start);
    }

    // The first character boundary at or after `at`.
    std::size_t NextCharacter(std::size_t at) const {
        while (at < m_bytes.size() && (static_cast<unsigned char>(m_bytes[at]) & 0xC0) == 0x80)
            ++at;
        return at;
    }

    std::string_view m_bytes;
    bool m_wholeCharacters;
    std::mt19937_64 m_random;
};

Reads ReadAll(const IniDocument& document) {
    Reads values;
    for (const AnyKey& key : kAllKeys)
        values.push_back(ReadValue(document, key));
    return values;
}

struct Written {
    Values stored; // by section and key: how the last value written reads back
    WrittenKeys keys;
};

// Some windows close in a run and some do not; each that closes writes all its keys.
Written WriteBack(IniDocument& document, Choices& choices) {
    Written written;
    for (const auto group : ProgramWriteGroups()) {
        if (choices.OneIn(4))
            continue;
        for (const AnyKey& key : group) {
            const std::string value = choices.Vary(key, ReadValue(document, key));
            document.Set(key.section, key.name, value);
            written.stored[{key.section, key.name}] = StoredForm(key, value);
            written.keys.insert({LowerAscii(key.section), LowerAscii(key.name)});
        }
    }
    return written;
}

// A key written reads back as written; any other reads back as it did before the writes.
void CheckReadsBack(const IniDocument& reread, const Reads& before, const Written& written) {
    for (std::size_t i = 0; i < kAllKeys.size(); ++i) {
        const auto stored = written.stored.find({kAllKeys[i].section, kAllKeys[i].name});
        const std::string& expected = stored != written.stored.end() ? stored->second : before[i];
        Require(ReadValue(reread, kAllKeys[i]) == expected,
                "a value does not read back as written");
    }
}

// Writing the same values again must change nothing, so an unchanged file is never rewritten.
void CheckSameValuesAreNoChange(IniDocument reread, const Written& written) {
    for (const AnyKey& key : kAllKeys) {
        const auto stored = written.stored.find({key.section, key.name});
        if (stored != written.stored.end())
            reread.Set(key.section, key.name, stored->second);
    }
    Require(!reread.Modified(), "writing the stored values again counts as a change");
}

} // namespace

// What the file's text reads as after a save in its own encoding.
IniDocument ReadSaved(const std::string& text, TextEncoding encoding) {
    const auto saved = DecodeText(EncodeText(text, encoding));
    Require(saved && saved->encoding == encoding, "a save left the file's encoding");
    return IniDocument::Parse(saved->utf8);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto decoded = DecodeText(bytes);
    if (!decoded)
        return 0; // marked UTF-16 but not UTF-16: the program keeps such a file as it is
    Require(EncodeText(decoded->utf8, decoded->encoding) == bytes,
            "decoding and encoding changed the file");
    const std::string_view file = WithoutByteOrderMarks(decoded->utf8);
    IniDocument document = IniDocument::Parse(decoded->utf8);
    Require(document.Serialize() == file, "parsing and serializing changed the file");
    const Reads before = ReadAll(document);

    Choices choices(decoded->utf8, decoded->encoding != TextEncoding::Utf8);
    const Written written = WriteBack(document, choices);
    const std::string saved = document.Serialize();
    Require(document.Modified() == (saved != file), "Modified() disagrees with the text");
    Require(KeepsForeignLines(file, saved, written.keys),
            "a line the program does not own changed");

    const IniDocument reread = ReadSaved(saved, decoded->encoding);
    Require(reread.Serialize() == saved, "the saved text does not parse back to itself");
    CheckReadsBack(reread, before, written);
    CheckSameValuesAreNoChange(reread, written);
    return 0;
}
