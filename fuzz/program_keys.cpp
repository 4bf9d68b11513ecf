#include "fuzz/program_keys.h"

#include <array>

namespace {

constexpr auto kInteger = ValueKind::Integer;
constexpr auto kBoolean = ValueKind::Boolean;
constexpr auto kText = ValueKind::Text;

constexpr std::string_view kMain = "Main Form";
constexpr ProgramKey kMainLeft{kMain, "Left", kInteger, "50"};
constexpr ProgramKey kMainTop{kMain, "Top", kInteger, "50"};
constexpr ProgramKey kMainWidth{kMain, "Width", kInteger, "377"};
constexpr ProgramKey kMainHeight{kMain, "Height", kInteger, "590"};
constexpr ProgramKey kAudio{kMain, "Audio", kInteger, "1"};
constexpr ProgramKey kAmPm{kMain, "AMPM", kInteger, "0"};
constexpr ProgramKey kCallSign{kMain, "CallSign", kText, "Callsign"};
constexpr ProgramKey kCallSignColor{kMain, "CS_FontColor", kInteger, "-16776961"};
constexpr ProgramKey kActive{kMain, "Active_Indicator", kText, "Active"};
constexpr ProgramKey kGmt{kMain, "GMT", kText, ""};
constexpr ProgramKey kModeText{kMain, "Mode Indicator", kText, "Auto"};
constexpr ProgramKey kStart{kMain, "Start", kBoolean, "1"};
constexpr ProgramKey kMode{kMain, "Mode", kBoolean, "1"};
constexpr ProgramKey kLocalTime{kMain, "localTimeZone", kBoolean, "1"};
constexpr ProgramKey kAlertLeft{kMain, "form2Left", kInteger, "100"};
constexpr ProgramKey kAlertTop{kMain, "form2Top", kInteger, "100"};
constexpr ProgramKey kAlertWidth{kMain, "form2Width", kInteger, "600"};
constexpr ProgramKey kAlertHeight{kMain, "form2Height", kInteger, "500"};
constexpr ProgramKey kAlertColor{kMain, "form2Color", kInteger, "16776960"};

constexpr std::string_view kEditor = "CallSign Form";
constexpr ProgramKey kEditorLeft{kEditor, "Left", kInteger, "100"};
constexpr ProgramKey kEditorTop{kEditor, "Top", kInteger, "100"};
constexpr ProgramKey kEditorWidth{kEditor, "Width", kInteger, "370"};
constexpr ProgramKey kEditorHeight{kEditor, "Height", kInteger, "330"};

constexpr std::string_view kPicker = "Select Audio Form";
constexpr ProgramKey kPickerLeft{kPicker, "Left", kInteger, "100"};
constexpr ProgramKey kPickerTop{kPicker, "Top", kInteger, "100"};
constexpr ProgramKey kPickerWidth{kPicker, "Width", kInteger, "450"};
constexpr ProgramKey kPickerHeight{kPicker, "Height", kInteger, "425"};
constexpr ProgramKey kSelectedFile{kPicker, "Selected File", kText, "0"};
constexpr ProgramKey kPickerLabel{kPicker, "Selected File", kText, "No file selected"};

constexpr std::string_view kMenu = "Audio Form";
constexpr ProgramKey kMenuLeft{kMenu, "Left", kInteger, "100"};
constexpr ProgramKey kMenuTop{kMenu, "Top", kInteger, "100"};
constexpr ProgramKey kMenuWidth{kMenu, "Width", kInteger, "240"};
constexpr ProgramKey kMenuHeight{kMenu, "Height", kInteger, "390"};
constexpr ProgramKey kFileExists{kMenu, "fileExists", kInteger, "0"};

// The indicator texts are written but not read: they follow the state.
constexpr std::array kReads{
    kMainLeft,    kMainTop,       kMainWidth,    kMainHeight,   kAudio,       kAmPm,
    kCallSign,    kCallSignColor, kSelectedFile, kGmt,          kStart,       kMode,
    kLocalTime,   kAlertLeft,     kAlertTop,     kAlertWidth,   kAlertHeight, kAlertColor,
    kEditorLeft,  kEditorTop,     kEditorWidth,  kEditorHeight, kPickerLeft,  kPickerTop,
    kPickerWidth, kPickerHeight,  kPickerLabel,  kMenuLeft,     kMenuTop,     kMenuWidth,
    kMenuHeight,  kFileExists};

constexpr std::array kMainWrites{kMainLeft,      kMainTop,    kMainWidth,   kMainHeight, kAudio,
                                 kCallSignColor, kAmPm,       kCallSign,    kActive,     kGmt,
                                 kModeText,      kStart,      kMode,        kLocalTime,  kAlertLeft,
                                 kAlertTop,      kAlertWidth, kAlertHeight, kAlertColor};
constexpr std::array kEditorWrites{kEditorLeft, kEditorTop, kEditorWidth, kEditorHeight};
constexpr std::array kPickerWrites{kPickerLeft, kPickerTop, kPickerWidth, kPickerHeight};
constexpr std::array kPickerFileWrites{kSelectedFile};
constexpr std::array kMenuWrites{kMenuLeft, kMenuTop, kMenuWidth, kMenuHeight, kAudio, kFileExists};

constexpr std::array<std::span<const ProgramKey>, 5> kWriteGroups{
    kMainWrites, kEditorWrites, kPickerWrites, kPickerFileWrites, kMenuWrites};

std::int32_t ReadInteger(const std::optional<std::string>& stored, std::string_view fallback) {
    const std::int32_t byDefault = ParseInt32(fallback).value_or(0);
    return stored ? ParseInt32(*stored).value_or(byDefault) : byDefault;
}

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

} // namespace

std::span<const ProgramKey> ProgramReads() {
    return kReads;
}

std::span<const std::span<const ProgramKey>> ProgramWriteGroups() {
    return kWriteGroups;
}

std::string ReadValue(const IniDocument& document, const ProgramKey& key) {
    const auto stored = document.Get(key.section, key.key);
    switch (key.kind) {
    case ValueKind::Integer:
        return std::to_string(ReadInteger(stored, key.fallback));
    case ValueKind::Boolean:
        return ReadInteger(stored, key.fallback) != 0 ? "1" : "0";
    case ValueKind::Text:
        break;
    }
    return stored.value_or(std::string(key.fallback));
}

// Each line break (a CR LF pair counting as one) becomes a blank; then blanks and tabs go
// from both ends.
std::string StoredForm(const ProgramKey& key, std::string_view written) {
    if (key.kind != ValueKind::Text)
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
