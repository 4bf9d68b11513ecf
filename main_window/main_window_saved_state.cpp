// The main window's saved state: read once when the window is made, written once when it
// closes, in the order the settings file has always held them.
#include "main_window/main_window.h"

#include "settings/audio_choice.h"
#include "settings/ini_file.h"
#include "station/station_settings.h"
#include "toolkit/form_place.h"
#include "window_set/window_set.h"

namespace {

// Colours are stored as signed 32-bit integers, so an opaque colour is negative.
std::int32_t StoredColor(std::uint32_t color) {
    return static_cast<std::int32_t>(color);
}

} // namespace

void TForm1::FormCreate(TObject*) {
    TIniFile ini(SettingsFilePath());
    RestoreFormPlace(ini, MainForm::kPlace, *this, {GetWidth(), GetHeight()});
    shared.audioChoice = KnownAudioChoice(
        ini.ReadInteger(MainForm::kAudio, static_cast<std::int32_t>(shared.audioChoice)));
    timerState.clockFormat = ini.ReadInteger(MainForm::kAMPM, timerState.clockFormat);
    CallSign->SetText(ini.ReadString(MainForm::kCallSign, CallSign->GetText()));
    TTextSettings* callSignText = CallSign->GetTextSettings();
    callSignText->SetFontColor(static_cast<TAlphaColor>(
        ini.ReadInteger(MainForm::kCS_FontColor, StoredColor(callSignText->GetFontColor()))));
    shared.selectedFile = ini.ReadString(SelectAudioForm::kSelectedFile);
    GMTLabel->SetText(ini.ReadString(MainForm::kGMT, GMTLabel->GetText()));
    timerState.running = ini.ReadBool(MainForm::kStart, timerState.running);
    timerState.autoMode = ini.ReadBool(MainForm::kMode, timerState.autoMode);
    // The stored texts of these two could contradict the state they name.
    ShowRunAndModeTexts();
    timerState.localTimeZone = ini.ReadBool(MainForm::kLocalTimeZone, timerState.localTimeZone);
    ShowClockKind();
    shared.alertLeft = ini.ReadInteger(MainForm::kForm2Left);
    shared.alertTop = ini.ReadInteger(MainForm::kForm2Top);
    shared.alertWidth = ReadSize(ini, MainForm::kForm2Width);
    shared.alertHeight = ReadSize(ini, MainForm::kForm2Height);
    shared.alertColor = ini.ReadInteger(MainForm::kForm2Color);
    RestoreStationOptions(ini);
}

void TForm1::FormClose(TObject*, TCloseAction&) {
    TIniFile ini(SettingsFilePath());
    SaveFormPlace(ini, MainForm::kPlace, *this);
    ini.WriteInteger(MainForm::kAudio, static_cast<std::int32_t>(shared.audioChoice));
    ini.WriteInteger(MainForm::kCS_FontColor,
                     StoredColor(CallSign->GetTextSettings()->GetFontColor()));
    ini.WriteInteger(MainForm::kAMPM, timerState.clockFormat);
    ini.WriteString(MainForm::kCallSign, CallSign->GetText());
    ini.WriteString(MainForm::kActive_Indicator, Active_Indicator->GetText());
    ini.WriteString(MainForm::kGMT, GMTLabel->GetText());
    ini.WriteString(MainForm::kModeIndicator, ModeButton->GetText());
    ini.WriteBool(MainForm::kStart, timerState.running);
    ini.WriteBool(MainForm::kMode, timerState.autoMode);
    ini.WriteBool(MainForm::kLocalTimeZone, timerState.localTimeZone);
    ini.WriteInteger(MainForm::kForm2Left, shared.alertLeft);
    ini.WriteInteger(MainForm::kForm2Top, shared.alertTop);
    ini.WriteInteger(MainForm::kForm2Width, shared.alertWidth);
    ini.WriteInteger(MainForm::kForm2Height, shared.alertHeight);
    ini.WriteInteger(MainForm::kForm2Color,
                     StoredColor(static_cast<std::uint32_t>(shared.alertColor)));
}
