#pragma once
// Every key of the settings file, declared once: its section, its name as the program has
// always spelt it, its type and its default. The windows read and write their keys through
// these rows, each window in its own order. Where a window reads a key with the value it
// already holds as the default, the row holds the value a first run starts from. A new key is
// a new row, listed in kAllKeys too.
#include "settings/audio_choice.h"
#include "settings/mark_interval.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <variant>

// A row of any type, for what walks every key (the settings fuzzer).
struct AnyKey {
    std::string_view section;
    std::string_view name;
    std::variant<std::int32_t, bool, std::string_view> byDefault;
};

// A key: where it is stored, and what a missing or unreadable entry reads as.
template <class Value> struct SettingsKey {
    std::string_view section;
    std::string_view name;
    Value byDefault;

    constexpr operator AnyKey() const { return {section, name, byDefault}; }
};
using IntegerKey = SettingsKey<std::int32_t>;
using BoolKey = SettingsKey<bool>;
using TextKey = SettingsKey<std::string_view>;

// The place and size a window keeps under its own section.
struct FormPlaceKeys {
    IntegerKey Left;
    IntegerKey Top;
    IntegerKey Width;
    IntegerKey Height;
};

constexpr FormPlaceKeys PlaceKeys(std::string_view section, std::int32_t left, std::int32_t top,
                                  std::int32_t width, std::int32_t height) {
    return {{section, "Left", left},
            {section, "Top", top},
            {section, "Width", width},
            {section, "Height", height}};
}

namespace MainForm {
inline constexpr std::string_view kSection = "Main Form";
// The window reads its size with its own outer size as the default: its designed client size
// (here) framed as the desktop frames it.
inline constexpr FormPlaceKeys kPlace = PlaceKeys(kSection, 50, 50, 375, 565);
inline constexpr IntegerKey kAudio{kSection, "Audio",
                                   static_cast<std::int32_t>(AudioChoice::SystemTone)};
inline constexpr IntegerKey kAMPM{kSection, "AMPM", 0};
inline constexpr TextKey kCallSign{kSection, "CallSign", "Callsign"};
// Colours are stored as signed 32-bit integers: claBlue, 0xFF0000FF, is negative.
inline constexpr IntegerKey kCS_FontColor{kSection, "CS_FontColor", -16776961};
inline constexpr TextKey kActive_Indicator{kSection, "Active_Indicator", "Active"};
inline constexpr TextKey kGMT{kSection, "GMT", ""};
inline constexpr TextKey kModeIndicator{kSection, "Mode Indicator", "Auto"};
inline constexpr BoolKey kStart{kSection, "Start", true};
inline constexpr BoolKey kMode{kSection, "Mode", true};
inline constexpr BoolKey kLocalTimeZone{kSection, "localTimeZone", true};
// The alert window's place and colour; the colour is yellow with alpha 0, not opaque yellow.
inline constexpr IntegerKey kForm2Left{kSection, "form2Left", 100};
inline constexpr IntegerKey kForm2Top{kSection, "form2Top", 100};
inline constexpr IntegerKey kForm2Width{kSection, "form2Width", 600};
inline constexpr IntegerKey kForm2Height{kSection, "form2Height", 500};
inline constexpr IntegerKey kForm2Color{kSection, "form2Color", 0x00FFFF00};
} // namespace MainForm

// The callsign editor's.
namespace CallSignForm {
inline constexpr std::string_view kSection = "CallSign Form";
inline constexpr FormPlaceKeys kPlace = PlaceKeys(kSection, 100, 100, 370, 330);
} // namespace CallSignForm

// The audio file picker's.
namespace SelectAudioForm {
inline constexpr std::string_view kSection = "Select Audio Form";
inline constexpr FormPlaceKeys kPlace = PlaceKeys(kSection, 100, 100, 450, 425);
// "0" (the integer 0 as text) stands for "no file chosen yet".
inline constexpr TextKey kSelectedFile{kSection, "Selected File", "0"};
} // namespace SelectAudioForm

// The audio menu's.
namespace AudioForm {
inline constexpr std::string_view kSection = "Audio Form";
inline constexpr FormPlaceKeys kPlace = PlaceKeys(kSection, 100, 100, 240, 390);
// 1 once the picker has handed a file selection over.
inline constexpr IntegerKey kFileExists{kSection, "fileExists", 0};
} // namespace AudioForm

// The station options window's place; its size is its design.
namespace StationOptionsForm {
inline constexpr std::string_view kSection = "Station Options Form";
inline constexpr IntegerKey kLeft{kSection, "Left", 100};
inline constexpr IntegerKey kTop{kSection, "Top", 100};
} // namespace StationOptionsForm

// The station options: the minutes between marks, the Morse speed (words per minute) and tone
// (Hz), the sound output's id (empty: the desktop's default), whether the transmitter is
// watched (0 off, 1 on), through which kind of program (rigctld, flrig, fldigi or wsjtx; a
// file without it means rigctld, as Chimewell watched only rigctld before), and where each
// kind is found: rigctld at RigHost and RigPort, WSJT-X's broadcasts on a port and in a
// multicast group (empty: the loopback address). Then how reminders are timed: at the clock
// marks, or counted from the first transmission ("marks" or "rolling"; a file without it means
// marks, as before), the seconds of warning before the ID is due, whether a reminder waits for
// the key-up, whether a contact's start reminds, and whether the countdown shows in the tray.
// Last, how the callsign is spoken: in the ITU phonetic alphabet or letter by letter
// ("phonetics" or "letters"; anything else means phonetics), in which espeak-ng voice and at
// how many words a minute.
namespace Station {
inline constexpr std::string_view kSection = "Station";
inline constexpr IntegerKey kInterval{kSection, "Interval", kDefaultMarkInterval};
inline constexpr IntegerKey kMorseWpm{kSection, "MorseWpm", 15};
inline constexpr IntegerKey kMorseHz{kSection, "MorseHz", 700};
inline constexpr TextKey kOutput{kSection, "Output", ""};
inline constexpr BoolKey kRig{kSection, "Rig", false};
inline constexpr TextKey kRigHost{kSection, "RigHost", "localhost"};
inline constexpr IntegerKey kRigPort{kSection, "RigPort", 4532};
inline constexpr TextKey kRigKind{kSection, "RigKind", "rigctld"};
inline constexpr TextKey kFlrigHost{kSection, "FlrigHost", "localhost"};
inline constexpr IntegerKey kFlrigPort{kSection, "FlrigPort", 12345};
inline constexpr TextKey kFldigiHost{kSection, "FldigiHost", "localhost"};
inline constexpr IntegerKey kFldigiPort{kSection, "FldigiPort", 7362};
inline constexpr TextKey kWsjtxGroup{kSection, "WsjtxGroup", ""};
inline constexpr IntegerKey kWsjtxPort{kSection, "WsjtxPort", 2237};
inline constexpr TextKey kTiming{kSection, "Timing", "marks"};
inline constexpr IntegerKey kWarnSeconds{kSection, "WarnSeconds", 60};
inline constexpr BoolKey kPolite{kSection, "Polite", true};
inline constexpr BoolKey kStartReminder{kSection, "StartReminder", false};
inline constexpr BoolKey kTray{kSection, "Tray", false};
inline constexpr TextKey kSpeechSpelling{kSection, "SpeechSpelling", "phonetics"};
inline constexpr TextKey kSpeechVoice{kSection, "SpeechVoice", "gmw/en"};
inline constexpr IntegerKey kSpeechRate{kSection, "SpeechRate", 150};
} // namespace Station

// Every key above, a section's keys together.
inline constexpr auto kAllKeys = std::to_array<AnyKey>({
    MainForm::kPlace.Left,
    MainForm::kPlace.Top,
    MainForm::kPlace.Width,
    MainForm::kPlace.Height,
    MainForm::kAudio,
    MainForm::kAMPM,
    MainForm::kCallSign,
    MainForm::kCS_FontColor,
    MainForm::kActive_Indicator,
    MainForm::kGMT,
    MainForm::kModeIndicator,
    MainForm::kStart,
    MainForm::kMode,
    MainForm::kLocalTimeZone,
    MainForm::kForm2Left,
    MainForm::kForm2Top,
    MainForm::kForm2Width,
    MainForm::kForm2Height,
    MainForm::kForm2Color,
    CallSignForm::kPlace.Left,
    CallSignForm::kPlace.Top,
    CallSignForm::kPlace.Width,
    CallSignForm::kPlace.Height,
    SelectAudioForm::kPlace.Left,
    SelectAudioForm::kPlace.Top,
    SelectAudioForm::kPlace.Width,
    SelectAudioForm::kPlace.Height,
    SelectAudioForm::kSelectedFile,
    AudioForm::kPlace.Left,
    AudioForm::kPlace.Top,
    AudioForm::kPlace.Width,
    AudioForm::kPlace.Height,
    AudioForm::kFileExists,
    StationOptionsForm::kLeft,
    StationOptionsForm::kTop,
    Station::kInterval,
    Station::kMorseWpm,
    Station::kMorseHz,
    Station::kOutput,
    Station::kRig,
    Station::kRigHost,
    Station::kRigPort,
    Station::kRigKind,
    Station::kFlrigHost,
    Station::kFlrigPort,
    Station::kFldigiHost,
    Station::kFldigiPort,
    Station::kWsjtxGroup,
    Station::kWsjtxPort,
    Station::kTiming,
    Station::kWarnSeconds,
    Station::kPolite,
    Station::kStartReminder,
    Station::kTray,
    Station::kSpeechSpelling,
    Station::kSpeechVoice,
    Station::kSpeechRate,
});
