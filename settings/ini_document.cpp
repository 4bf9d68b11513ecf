#include "settings/ini_document.h"

#include "settings/single_line.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <utility>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// A CR is a blank too, so that a CRLF file's last line without LF reads like the others.
constexpr std::string_view kBlanks = " \t\r";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

char ToLowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b,
                              [](char x, char y) { return ToLowerAscii(x) == ToLowerAscii(y); });
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Takes the next line off `rest`: its text and its line end ("" for a last line without one).
std::pair<std::string_view, std::string_view> TakeLine(std::string_view& rest) {
    const auto newline = rest.find('\n');
    std::string_view text = rest.substr(0, newline);
    std::string_view end = newline == std::string_view::npos ? "" : "\n";
    if (!end.empty() && text.ends_with('\r')) {
        text.remove_suffix(1);
        end = "\r\n";
    }
    rest.remove_prefix(text.size() + end.size());
    return {text, end};
}

} // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
    // All of them: one left in the first line would hide its section now and, gone once the
    // file is written, reveal it at the next reading, with different values.
    while (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    IniDocument document;
    while (!bytes.empty()) {
        const auto [text, end] = TakeLine(bytes);
        if (document.m_lines.empty() && !end.empty())
            document.m_lineEnd = end;
        document.m_lines.push_back(ParseLine(text, end));
    }
    return document;
}

IniDocument::Line IniDocument::ParseLine(std::string_view text, std::string_view end) {
    Line line;
    line.text = text;
    line.end = end;
    const std::string_view trimmed = Trim(text);
    if (trimmed.starts_with('[')) {
        const auto close = trimmed.find(']');
        if (close != std::string_view::npos) {
            line.kind = Line::Kind::Section;
            line.name = Trim(trimmed.substr(1, close - 1));
        }
        return line;
    }
    const auto equals = trimmed.find('=');
    if (trimmed.starts_with(';') || trimmed.starts_with('#') || equals == 0 ||
        equals == std::string_view::npos)
        return line;
    line.kind = Line::Kind::Entry;
    line.name = Trim(trimmed.substr(0, equals));
    line.value = Trim(trimmed.substr(equals + 1));
    return line;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    const auto sectionLine = FindSection(section);
    const auto entry = sectionLine ? FindEntry(*sectionLine, key) : std::nullopt;
    if (!entry)
        return std::nullopt;
    return m_lines[*entry].value;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string text{key};
    text += '=';
    text += Trim(SingleLine(std::string(value)));
    Line entry = ParseLine(text, m_lineEnd);
    const auto sectionLine = FindSection(section);
    if (!sectionLine)
        AppendSection(section, std::move(entry));
    else if (const auto existing = FindEntry(*sectionLine, key))
        Replace(*existing, std::move(entry));
    else
        Insert(EndOfSection(*sectionLine), std::move(entry));
}

std::string IniDocument::Serialize() const {
    std::string bytes;
    for (const Line& line : m_lines) {
        bytes += line.text;
        bytes += line.end;
    }
    return bytes;
}

void IniDocument::Insert(std::size_t index, Line line) {
    // A last line without a line end would otherwise run into the new one.
    if (index > 0 && m_lines[index - 1].end.empty())
        m_lines[index - 1].end = m_lineEnd;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
    m_modified = true;
}

void IniDocument::AppendSection(std::string_view section, Line entry) {
    if (!m_lines.empty() && !Trim(m_lines.back().text).empty())
        Insert(m_lines.size(), ParseLine("", m_lineEnd));
    // Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict, wrongly) about "[" + string.
    std::string header = "[";
    header += section;
    header += ']';
    Insert(m_lines.size(), ParseLine(header, m_lineEnd));
    Insert(m_lines.size(), std::move(entry));
}

void IniDocument::Replace(std::size_t index, Line entry) {
    Line& line = m_lines[index];
    if (line.value == entry.value)
        return;
    entry.end = line.end;
    line = std::move(entry);
    m_modified = true;
}

std::optional<std::size_t> IniDocument::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Line::Kind::Section && SameName(m_lines[i].name, section))
            return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::FindEntry(std::size_t sectionLine,
                                                  std::string_view key) const {
    const std::size_t next = NextSection(sectionLine);
    for (std::size_t i = sectionLine + 1; i < next; ++i) {
        if (m_lines[i].kind == Line::Kind::Entry && SameName(m_lines[i].name, key))
            return i;
    }
    return std::nullopt;
}

std::size_t IniDocument::EndOfSection(std::size_t sectionLine) const {
    const std::size_t next = NextSection(sectionLine);
    std::size_t end = sectionLine + 1;
    for (std::size_t i = end; i < next; ++i) {
        if (m_lines[i].kind == Line::Kind::Entry)
            end = i + 1;
    }
    return end;
}

std::size_t IniDocument::NextSection(std::size_t sectionLine) const {
    std::size_t i = sectionLine + 1;
    while (i < m_lines.size() && m_lines[i].kind != Line::Kind::Section)
        ++i;
    return i;
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
    text = Trim(text);
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);
    if (text.empty() || !std::ranges::all_of(text, IsDigit))
        return std::nullopt;
    std::int64_t magnitude = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), magnitude).ec != std::errc{})
        return std::nullopt;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}
