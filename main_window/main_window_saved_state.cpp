// The main window's saved state: read once when the window is made, written once when it
// closes, in the order the settings file has always held them.
#include "main_window/main_window.h"

#include "app/toolkit/form_place.h"
#include "settings/audio_choice.h"
#include "settings/ini_file.h"

namespace {

const QString kMain = QStringLiteral("Main Form");

// Colours are stored as signed 32-bit integers, so an opaque colour is negative.
std::int32_t StoredColor(std::uint32_t color) {
    return static_cast<std::int32_t>(color);
}

} // namespace

void TForm1::FormCreate(TObject*) {
    TIniFile ini(SettingsFilePath());
    RestoreFormPlace(ini, kMain, *this, {50, 50, GetWidth(), GetHeight()});
    audioChoice =
        KnownAudioChoice(ini.ReadInteger(kMain, "Audio", static_cast<std::int32_t>(audioChoice)));
    timerState.clockFormat = ini.ReadInteger(kMain, "AMPM", timerState.clockFormat);
    CallSign->SetText(ini.ReadString(kMain, "CallSign", CallSign->GetText()));
    TTextSettings* callSignText = CallSign->GetTextSettings();
    callSignText->SetFontColor(static_cast<TAlphaColor>(
        ini.ReadInteger(kMain, "CS_FontColor", StoredColor(callSignText->GetFontColor()))));
    selectedFile = ini.ReadString("Select Audio Form", "Selected File", QString::number(0));
    GMTLabel->SetText(ini.ReadString(kMain, "GMT", GMTLabel->GetText()));
    timerState.running = ini.ReadBool(kMain, "Start", timerState.running);
    timerState.autoMode = ini.ReadBool(kMain, "Mode", timerState.autoMode);
    // The stored texts of these two could contradict the state they name.
    ShowRunAndModeTexts();
    timerState.localTimeZone = ini.ReadBool(kMain, "localTimeZone", timerState.localTimeZone);
    alertLeft = ini.ReadInteger(kMain, "form2Left", 100);
    alertTop = ini.ReadInteger(kMain, "form2Top", 100);
    alertWidth = ini.ReadInteger(kMain, "form2Width", 600);
    alertHeight = ini.ReadInteger(kMain, "form2Height", 500);
    alertColor = ini.ReadInteger(kMain, "form2Color", 16776960);
}

void TForm1::FormClose(TObject*, TCloseAction&) {
    TIniFile ini(SettingsFilePath());
    SaveFormPlace(ini, kMain, *this);
    ini.WriteInteger(kMain, "Audio", static_cast<std::int32_t>(audioChoice));
    ini.WriteInteger(kMain, "CS_FontColor",
                     StoredColor(CallSign->GetTextSettings()->GetFontColor()));
    ini.WriteInteger(kMain, "AMPM", timerState.clockFormat);
    ini.WriteString(kMain, "CallSign", CallSign->GetText());
    ini.WriteString(kMain, "Active_Indicator", Active_Indicator->GetText());
    ini.WriteString(kMain, "GMT", GMTLabel->GetText());
    ini.WriteString(kMain, "Mode Indicator", ModeButton->GetText());
    ini.WriteBool(kMain, "Start", timerState.running);
    ini.WriteBool(kMain, "Mode", timerState.autoMode);
    ini.WriteBool(kMain, "localTimeZone", timerState.localTimeZone);
    ini.WriteInteger(kMain, "form2Left", alertLeft);
    ini.WriteInteger(kMain, "form2Top", alertTop);
    ini.WriteInteger(kMain, "form2Width", alertWidth);
    ini.WriteInteger(kMain, "form2Height", alertHeight);
    ini.WriteInteger(kMain, "form2Color", StoredColor(static_cast<std::uint32_t>(alertColor)));
}
