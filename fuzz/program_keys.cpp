#include "fuzz/program_keys.h"

namespace {

std::int32_t ReadInteger(const std::optional<std::string>& stored, std::int32_t byDefault) {
    return stored ? ParseInt32(*stored).value_or(byDefault) : byDefault;
}

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// The table's rows, a section's rows together.
std::vector<std::span<const AnyKey>> Sections() {
    std::vector<std::span<const AnyKey>> sections;
    const std::span<const AnyKey> keys = kAllKeys;
    for (std::size_t first = 0, end = 0; first < keys.size(); first = end) {
        end = first + 1;
        while (end < keys.size() && keys[end].section == keys[first].section)
            ++end;
        sections.push_back(keys.subspan(first, end - first));
    }
    return sections;
}

} // namespace

ValueKind KindOf(const AnyKey& key) {
    if (std::holds_alternative<std::string_view>(key.byDefault))
        return ValueKind::Text;
    return std::holds_alternative<bool>(key.byDefault) ? ValueKind::Boolean : ValueKind::Integer;
}

const std::vector<std::span<const AnyKey>>& ProgramWriteGroups() {
    static const auto groups = Sections();
    return groups;
}

std::string ReadValue(const IniDocument& document, const AnyKey& key) {
    const auto stored = document.Get(key.section, key.name);
    switch (KindOf(key)) {
    case ValueKind::Integer:
        return std::to_string(ReadInteger(stored, std::get<std::int32_t>(key.byDefault)));
    case ValueKind::Boolean:
        return ReadInteger(stored, std::get<bool>(key.byDefault) ? 1 : 0) != 0 ? "1" : "0";
    case ValueKind::Text:
        break;
    }
    return stored.value_or(std::string(std::get<std::string_view>(key.byDefault)));
}

// Each line break (a CR LF pair counting as one) becomes a blank; then blanks and tabs go
// from both ends.
std::string StoredForm(const AnyKey& key, std::string_view written) {
    if (KindOf(key) != ValueKind::Text)
        return std::string(written);
    std::string line;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const bool pairedCr = written[i] == '\r' && written.substr(i + 1).starts_with('\n');
        if (!pairedCr)
            line += IsLineBreak(written[i]) ? ' ' : written[i];
    }
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return line.substr(first, line.find_last_not_of(" \t") - first + 1);
}
