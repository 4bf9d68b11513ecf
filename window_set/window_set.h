#pragma once
// Where the windows meet: the values they hand one another. (Each window's own header declares
// its process-wide instance variable, through which the others reach it.)
#include "settings/audio_choice.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "toolkit/controls.h"
#include "toolkit/rtl.h"

#include <QPointer>
#include <cstdint>

// The caption of every window but the main one, and of the program's messages.
inline const UnicodeString kCaption = QStringLiteral(" Timer Chimewell!");

// The main window's members that the other windows read and write, kept here so that those
// windows need not know the main window: the alert window's place and colour, the close request
// of a click on the alert, the sound of the marks and the station options, and the callsign
// label. The main window starts them afresh when it is made and keeps them in the settings file
// with its own state; the station options window saves the station options.
struct SharedMembers {
    std::int32_t alertLeft = MainForm::kForm2Left.byDefault;
    std::int32_t alertTop = MainForm::kForm2Top.byDefault;
    std::int32_t alertWidth = MainForm::kForm2Width.byDefault;
    std::int32_t alertHeight = MainForm::kForm2Height.byDefault;
    std::int64_t alertColor = MainForm::kForm2Color.byDefault;
    AudioChoice audioChoice = KnownAudioChoice(MainForm::kAudio.byDefault);
    // Set by a click on the alert; the next tick carries it out.
    bool alertCloseRequest = false;
    UnicodeString selectedFile = DefaultText(SelectAudioForm::kSelectedFile);
    // Why the chosen sound last failed to play at a mark; the audio menu shows it once.
    UnicodeString audioFailure;
    // The minutes between marks, and the Morse speed (words per minute) and tone (Hz).
    std::int32_t markInterval = Station::kInterval.byDefault;
    std::int32_t morseWpm = Station::kMorseWpm.byDefault;
    std::int32_t morseHz = Station::kMorseHz.byDefault;
    // Whether the countdown shows in the system tray as well.
    bool tray = Station::kTray.byDefault;
    // How the spoken callsign is said: letter by letter rather than in the ITU phonetic
    // alphabet, in which voice (espeak-ng's identifier) and at how many words a minute.
    bool speechLetters = false;
    UnicodeString speechVoice = DefaultText(Station::kSpeechVoice);
    std::int32_t speechRate = Station::kSpeechRate.byDefault;
    // The main window's callsign, which the callsign editor sets at each commit; null once the
    // main window is gone.
    QPointer<TLabel> CallSign;
};

extern SharedMembers shared;
