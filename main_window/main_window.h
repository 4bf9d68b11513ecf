#pragma once
// TForm1: the main window. Shows the callsign, the clock and the date, starts the members the
// windows share (window_set/window_set.h) afresh, drives the identification cycle from its timer,
// and keeps the operator's choices and those members in the settings file between runs.
#include "main_window/timer_state.h"
#include "morse/sender.h"
#include "rig/transmitter_watch.h"
#include "speech/speaker.h"
#include "toolkit/bindings.h"
#include "toolkit/color_panel.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/media_player.h"
#include "toolkit/menus.h"
#include "toolkit/timer.h"
#include "toolkit/tray_icon.h"

#include <ctime>

// The shared timer state: one per process, touched only by the main window's code.
extern SharedTimerState timerState;

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* Owner);

    TLabel* CallSign;
    TRoundRect* RoundRect1;
    TLabel* DateLabel;
    TLabel* LocalTime;
    TColorButton* StopButton;
    TLabel* StopLabel;
    TColorButton* StartButton;
    TLabel* StartLabel;
    TRoundRect* RoundRect2;
    TLabel* Active_Indicator;
    TButton* ModeButton;
    TLabel* ModeLabel;
    TButton* DisplayAlertButton;
    TLabel* AlertLabel;
    TTimer* MilliTimer;
    TButton* EditCallSignButton;
    TButton* GMTButton;
    TLabel* GMTLabel;
    TColorButton* AudioButton;
    TLabel* AudioLabel;
    TMediaPlayer* MediaPlayer1;
    TLabel* Label1;
    TColorPanel* ColorPanel1;
    TLabel* Label2;
    TBindingsList* BindingsList1;
    TLinkControlToProperty* LinkControlToPropertyFontColor;
    // Beyond the design: the right-click menu and its Ctrl+, item that open the station
    // options, the callsign in Morse and spoken, the watch on the transmitter and the badge in
    // the window's top corner that shows it on; the countdown to the ID in the other corner,
    // coloured by its stage on a badge, and in the system tray when chosen.
    TPopupMenu* PopupMenu1;
    TMenuItem* SwitchZoneItem;
    TMenuItem* SwitchHoursItem;
    TMenuItem* EditCallSignItem;
    TMenuItem* CallSignColourItem;
    TMenuItem* AudioItem;
    TMenuItem* StationOptionsItem;
    morse::Sender* MorseSender1;
    speech::Speaker* Speaker1;
    rig::TransmitterWatch* RigWatch1;
    TRoundRect* OnAirBadge;
    TLabel* OnAirLabel;
    TRoundRect* CountdownBadge;
    TLabel* CountdownLabel;
    TTrayIcon* TrayIcon1 = nullptr; // made when first shown

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void MilliTimerTimer(TObject* Sender);
    void MediaPlayer1Error(TObject* Sender);
    void MorseSender1Error(TObject* Sender);
    void Speaker1Error(TObject* Sender);
    void ReportAudioFileFailure();
    void ReportMorseFailure();
    void ReportSpeechFailure();
    bool SendMorse();
    bool SpeakCallsign();
    void StartButtonClick(TObject* Sender);
    void StopButtonClick(TObject* Sender);
    void ModeButtonClick(TObject* Sender);
    void DisplayAlertButtonClick(TObject* Sender);
    void GMTButtonDblClick(TObject* Sender);
    void EditCallSignButtonDblClick(TObject* Sender);
    void AudioButtonDblClick(TObject* Sender);
    void EditCallSignButtonMouseWheel(TObject* Sender, TShiftState Shift, int WheelDelta,
                                      bool& Handled);
    void ColorPanel1MouseWheel(TObject* Sender, TShiftState Shift, int WheelDelta, bool& Handled);
    void SwitchZoneItemClick(TObject* Sender);
    void SwitchHoursItemClick(TObject* Sender);
    void CallSignColourItemClick(TObject* Sender);
    void StationOptionsItemClick(TObject* Sender);
    void RigStatusChanged(const rig::LinkStatus& status);
    void ShowCountdown(std::time_t nextMark, bool reminding);
    void HideCountdown();

private:
    void PrepareChosenAudio();
    // The indicator and the mode button name the state: "Active"/"Stopped", "Auto"/"Manual".
    void ShowRunAndModeTexts();
    // What a screen reader says the clock shows: the zone and the 12- or 24-hour clock.
    void ShowClockKind();
    void CreateClockArea();
    void CreateRunControls();
    void CreateModeAndAlertControls();
    void CreateHiddenAreas();
    TButton* AddHiddenArea(QRect designed, const QString& name, const QString& hint);
    void CreateAudioControls();
    void CreateColorPanel();
    void CreateStationControls();
    void CreateMenu();
    void NameForScreenReaders();
    void CreateOnAirBadge();
    void CreateCountdown();
    void ShowInTray(const rig::Countdown& countdown);
    bool TrayShown() const { return TrayIcon1 && TrayIcon1->isVisible(); }
    void BindEvents();
    void ShareMembers();
    void TellSoundFailure(const UnicodeString& sound, const UnicodeString& shortName,
                          const UnicodeString& reason);

    rig::Countdown m_countdown; // as shown
};

extern TForm1* Form1;
