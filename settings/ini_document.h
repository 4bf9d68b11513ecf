#pragma once
// The settings file's text format, free of any toolkit: a document of lines that can be
// read by section and key and changed in place, so that every line the program does not own
// is written back exactly as it was read.
//
// Reading accepts UTF-8 byte-order marks (however many) at the start, CRLF or LF line ends and
// blanks around names and values; section and key names match regardless of ASCII letter case.
// Writing produces UTF-8 without a byte-order mark, keeps the line ends the file already had (LF
// for a new file), adds a new key at the end of its section and a new section at the end of the
// file. Of repeated sections or keys, the first is the one read and written. A changed entry is
// written as the program spells its key.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniDocument {
public:
    IniDocument() = default;
    static IniDocument Parse(std::string_view bytes);

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Line breaks inside a value are written as blanks, so no value can break the format.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Serialize() const;
    // True once a Set has changed what Serialize gives.
    bool Modified() const { return m_modified; }
    // Once the text is safely stored, later Sets count as new changes.
    void MarkSaved() { m_modified = false; }

private:
    struct Line {
        std::string text; // the line as read, without its line end
        std::string end;  // its own line end, so mixed files come back byte for byte
        enum class Kind { Other, Section, Entry } kind = Kind::Other;
        std::string name;  // section name or key, trimmed
        std::string value; // entry value, trimmed
    };

    static Line ParseLine(std::string_view text, std::string_view end);
    void Insert(std::size_t index, Line line);
    void AppendSection(std::string_view section, Line entry);
    void Replace(std::size_t index, Line entry);

    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindEntry(std::size_t sectionLine, std::string_view key) const;
    // Where a new key of the section goes: after its last entry, before trailing blank lines.
    std::size_t EndOfSection(std::size_t sectionLine) const;
    std::size_t NextSection(std::size_t sectionLine) const;

    std::vector<Line> m_lines;
    std::string m_lineEnd = "\n"; // for new lines: the first line end of the file as read
    bool m_modified = false;
};

// A signed decimal 32-bit integer with optional blanks around it; nothing else.
std::optional<std::int32_t> ParseInt32(std::string_view text);
