#include "fuzz/foreign_lines.h"

#include <algorithm>
#include <vector>

namespace {

struct Classified {
    enum class Kind { Other, Section, Entry } kind = Kind::Other;
    std::string name; // lower case
};

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// "[name]" with anything after the bracket; "key=value" unless a comment or without a key.
Classified Classify(std::string_view line) {
    const std::string_view text = Trimmed(line);
    const auto close = text.find(']');
    if (text.starts_with('['))
        return close == std::string_view::npos
                   ? Classified{}
                   : Classified{Classified::Kind::Section,
                                LowerAscii(Trimmed(text.substr(1, close - 1)))};
    const auto equals = text.find('=');
    if (text.starts_with(';') || text.starts_with('#') || equals == 0 ||
        equals == std::string_view::npos)
        return {};
    return {Classified::Kind::Entry, LowerAscii(Trimmed(text.substr(0, equals)))};
}

// Lines split after each LF, which stays with its line.
std::vector<std::string_view> Lines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const auto newline = bytes.find('\n');
        const std::size_t length = newline == std::string_view::npos ? bytes.size() : newline + 1;
        lines.push_back(bytes.substr(0, length));
        bytes.remove_prefix(length);
    }
    return lines;
}

class OwnershipTracker {
public:
    explicit OwnershipTracker(const WrittenKeys& written)
        : m_written(written) {}

    bool Owns(const Classified& line) {
        if (line.kind == Classified::Kind::Section) {
            m_section = line.name;
            m_inFirstOfName = m_sectionsSeen.insert(line.name).second;
            return false;
        }
        const std::pair<std::string, std::string> key{m_section, line.name};
        return line.kind == Classified::Kind::Entry && m_inFirstOfName && m_written.contains(key) &&
               m_claimed.insert(key).second;
    }

    const std::set<std::string>& SectionsSeen() const { return m_sectionsSeen; }

private:
    const WrittenKeys& m_written;
    std::string m_section;
    bool m_inFirstOfName = false;
    std::set<std::string> m_sectionsSeen;
    WrittenKeys m_claimed;
};

struct Foreign {
    std::vector<std::string_view> lines;
    std::set<std::string> sections;
};

Foreign ForeignLines(std::string_view bytes, const WrittenKeys& written) {
    Foreign foreign;
    OwnershipTracker tracker(written);
    for (const std::string_view line : Lines(bytes)) {
        if (!tracker.Owns(Classify(line)))
            foreign.lines.push_back(line);
    }
    foreign.sections = tracker.SectionsSeen();
    return foreign;
}

bool SameLine(std::string_view before, std::string_view after) {
    if (before.ends_with('\n'))
        return after == before;
    return after == before ||
           (after.starts_with(before) &&
            (after.substr(before.size()) == "\n" || after.substr(before.size()) == "\r\n"));
}

bool IsAddedLine(std::string_view line, const std::set<std::string>& existing,
                 const WrittenKeys& written) {
    const Classified added = Classify(line);
    if (added.kind != Classified::Kind::Section)
        return Trimmed(line).empty();
    return !existing.contains(added.name) &&
           std::ranges::any_of(written, [&](const auto& key) { return key.first == added.name; });
}

} // namespace

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool KeepsForeignLines(std::string_view original, std::string_view saved,
                       const WrittenKeys& written) {
    const Foreign before = ForeignLines(original, written);
    const Foreign after = ForeignLines(saved, written);
    if (after.lines.size() < before.lines.size())
        return false;
    for (std::size_t i = 0; i < before.lines.size(); ++i) {
        if (!SameLine(before.lines[i], after.lines[i]))
            return false;
    }
    return std::all_of(
        after.lines.begin() + static_cast<std::ptrdiff_t>(before.lines.size()), after.lines.end(),
        [&](std::string_view line) { return IsAddedLine(line, before.sections, written); });
}
