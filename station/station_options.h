#pragma once
// TStationOptions: the station options window, which the main window opens with Ctrl+, or its
// right-click menu. The operator sets the minutes between marks and how the reminders are
// timed (at the marks, or from the first transmission, with a warning, waiting for the key-up,
// at a contact's start; or as a licence's rules ask), and the countdown in the tray; whether the
// marks remind only after the transmitter was on, watched through rigctld, flrig or fldigi at a
// host and port, or WSJT-X and JTDX's broadcasts on a port, with the link's state in words and
// the time of the last transmission; the speed and tone of the callsign in Morse, tries them
// with Test and sees which characters Morse cannot send; how the callsign is spoken (ITU
// phonetics or letter by letter, the voice and the speed), tried with its own Test, with the
// words it says; and the sound output the alerts play on, with word when the chosen one is not
// connected. Each change takes effect at once; the window saves the options and its place when
// it closes.
#include "morse/sender.h"
#include "sound/sound_output.h"
#include "speech/speaker.h"
#include "toolkit/controls.h"
#include "toolkit/edit.h"
#include "toolkit/form.h"
#include "toolkit/option_controls.h"
#include "toolkit/timer.h"

#include <vector>

class TStationOptions : public TForm {
public:
    explicit TStationOptions(TComponent* Owner);

    TLabel* TitleLabel;
    TGroupBox* IdentificationGroup;
    TLabel* IntervalLabel;
    TComboBox* IntervalComboBox;
    TLabel* MinutesLabel;
    // How the reminders are timed: a licence's preset, or the fields one by one.
    TLabel* RulesLabel;
    TComboBox* RulesComboBox;
    TLabel* RemindLabel;
    TComboBox* RemindComboBox;
    TLabel* WarnLabel;
    TSpinBox* WarnSpinBox;
    TLabel* WarnAfterLabel;
    TCheckBox* PoliteCheckBox;
    TCheckBox* StartCheckBox;
    TCheckBox* TrayCheckBox;
    TGroupBox* MorseGroup;
    TLabel* SpeedLabel;
    TSpinBox* SpeedSpinBox;
    TLabel* ToneLabel;
    TSpinBox* ToneSpinBox;
    // What of the callsign Morse sends, and which characters it skips.
    TLabel* MorseLabel;
    TButton* TestButton;
    morse::Sender* MorseSender;
    TGroupBox* SpeechGroup;
    TLabel* SayLabel;
    TComboBox* SpellingComboBox;
    TLabel* RateLabel;
    TSpinBox* RateSpinBox;
    TLabel* VoiceLabel;
    // The voices installed, filled in once the speech thread has listed them.
    TComboBox* VoiceComboBox;
    // The words spoken, or why the callsign cannot be.
    TLabel* SpeechLabel;
    TButton* SpeechTestButton;
    speech::Speaker* Speaker;
    TGroupBox* OutputGroup;
    TLabel* OutputLabel;
    TComboBox* OutputComboBox;
    // Tells when the chosen output is not connected.
    TLabel* OutputNoteLabel;
    // Looks for outputs plugged in or out while the window is open.
    TTimer* OutputsTimer;
    TGroupBox* RigGroup;
    TLabel* RigLabel;
    // Off, or the kind of program watched at the host (WSJT-X: the multicast group) and port.
    TComboBox* RigComboBox;
    TEdit* RigHostEdit;
    TLabel* RigColonLabel;
    TSpinBox* RigPortSpinBox;
    // The link's state in words, and the time the transmitter was last seen on.
    TLabel* RigStatusLabel;
    TLabel* RigLastLabel;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void IntervalComboBoxChange(TObject* Sender);
    void RulesComboBoxChange(TObject* Sender);
    void TimingChange(TObject* Sender);
    void SpeedSpinBoxChange(TObject* Sender);
    void ToneSpinBoxChange(TObject* Sender);
    void TestButtonClick(TObject* Sender);
    void MorseSenderError(TObject* Sender);
    void SpeechChange(TObject* Sender);
    void SpeechTestButtonClick(TObject* Sender);
    void SpeakerReady(TObject* Sender);
    void SpeakerVoices(TObject* Sender);
    void SpeakerError(TObject* Sender);
    void OutputComboBoxChange(TObject* Sender);
    void OutputsTimerTimer(TObject* Sender);
    void RigChange(TObject* Sender);

private:
    void CreateIdentificationGroup();
    void CreateTimingControls();
    void ShowTiming();
    void CreateMorseGroup();
    void CreateSpeechGroup();
    void ShowSpeech();
    void ShowSpeechFailure();
    void CreateOutputGroup();
    void CreateRigGroup();
    void FollowRig();
    void ShowRig();
    void ShowRigStatus();
    void ShowLastTransmission();
    void BindEvents();
    void ShowOutputs();
    void ShowMorseFailure();

    std::vector<TSoundOutput> m_outputs; // as last shown
    bool m_speakWhenReady = false;       // Test was clicked while the speech was being synthesized
};

// The window while it is open.
extern TStationOptions* StationOptions;
