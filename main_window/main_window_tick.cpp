// The timer's tick: one call into the identification cycle, whose effects land on this
// window's controls, the alert window, the media player and the system sound.
#include "main_window/main_window.h"

#include "alert_window/alert_window.h"
#include "main_window/identification_cycle.h"
#include "settings/audio_choice.h"
#include "sound/sound_output.h"
#include "station/station_settings.h"
#include "toolkit/message_beep.h"
#include "window_set/window_set.h"

#include <chrono>
#include <cstdio>

namespace {

class MainWindowEffects final : public TickEffects {
public:
    explicit MainWindowEffects(TForm1& form)
        : m_form(form) {}

    void SetTimerInterval(int milliseconds) override {
        m_form.MilliTimer->SetInterval(milliseconds);
    }
    void SetDateText(const char* text) override { m_form.DateLabel->SetText(text); }
    void SetClockText(const char* text) override { m_form.LocalTime->SetText(text); }
    void SetAudioStatusText(const char* text) override { m_form.Label2->SetText(text); }
    void ShowAlert() override { Alert->SetVisible(true); }
    void BringBackAlert() override { Alert->SetWindowState(TWindowState::wsNormal); }
    void HideAlert() override { Alert->SetVisible(false); }
    void SystemTone() override { MessageBeep(0); }
    void LoadAudioFile() override { m_form.MediaPlayer1->SetFileName(shared.selectedFile); }
    bool AudioFileLoaded() override { return m_form.MediaPlayer1->GetMedia() != nullptr; }
    void PlayAudioFile() override { m_form.MediaPlayer1->Play(); }
    void StopAudioFile() override { m_form.MediaPlayer1->Stop(); }
    void ReportAudioFileFailure() override { m_form.ReportAudioFileFailure(); }
    bool SendMorse() override { return m_form.SendMorse(); }
    void ReportMorseFailure() override { m_form.ReportMorseFailure(); }
    void StopMorse() override { m_form.MorseSender1->Stop(); }
    bool SpeakCallsign() override { return m_form.SpeakCallsign(); }
    void ReportSpeechFailure() override { m_form.ReportSpeechFailure(); }
    void StopSpeech() override { m_form.Speaker1->Stop(); }
    bool MarkReminds() override {
        return m_form.RigWatch1->RemindAt(std::chrono::system_clock::now());
    }
    bool ReminderDue() override {
        return m_form.RigWatch1->PollReminder(std::chrono::system_clock::now()) !=
               rig::IdReminder::None;
    }
    void ShowCountdown(std::time_t nextMark, bool reminding) override {
        m_form.ShowCountdown(nextMark, reminding);
    }
    void HideCountdown() override { m_form.HideCountdown(); }

private:
    TForm1& m_form;
};

} // namespace

void TForm1::MilliTimerTimer(TObject*) {
    MainWindowEffects effects(*this);
    RunTick(timerState, std::time(nullptr),
            {shared.audioChoice, shared.alertCloseRequest, shared.markInterval}, effects);
}

// Prepared ahead; rendered here only if something changed since.
bool TForm1::SendMorse() {
    MorseSender1->Prepare(CallSign->GetText(), shared.morseWpm, shared.morseHz);
    return MorseSender1->Send();
}

// Synthesized ahead; a change since starts the synthesis, which this mark cannot wait for.
bool TForm1::SpeakCallsign() {
    Speaker1->Prepare(CallSign->GetText(), StationVoicing());
    return Speaker1->Speak();
}

// The first mark sounds on time: what the chosen audio needs is loaded (and the Morse rendered,
// the speech synthesized) beforehand, and only that, so that a session never pays for sound it
// does not use.
void TForm1::PrepareChosenAudio() {
    if (shared.audioChoice != AudioChoice::NoAudio)
        PrepareSoundOutput();
    if (shared.audioChoice == AudioChoice::AudioFile)
        MediaPlayer1->Prepare();
    if (shared.audioChoice == AudioChoice::SystemTone)
        PrepareMessageBeep();
    if (shared.audioChoice == AudioChoice::Morse)
        MorseSender1->Prepare(CallSign->GetText(), shared.morseWpm, shared.morseHz);
    if (shared.audioChoice == AudioChoice::Speech)
        Speaker1->Prepare(CallSign->GetText(), StationVoicing());
}

// The player found the file unplayable after the mark had started it: the mark is not to
// stay silent.
void TForm1::MediaPlayer1Error(TObject*) {
    ReportAudioFileFailure();
    MessageBeep(0);
}

void TForm1::MorseSender1Error(TObject*) {
    ReportMorseFailure();
    MessageBeep(0);
}

void TForm1::Speaker1Error(TObject*) {
    ReportSpeechFailure();
    MessageBeep(0);
}

void TForm1::ReportAudioFileFailure() {
    const UnicodeString file = MediaPlayer1->GetFileName();
    TellSoundFailure(QStringLiteral("the alert's audio file \"%1\"").arg(file),
                     ExtractFileName(file), MediaPlayer1->GetErrorString());
}

void TForm1::ReportMorseFailure() {
    TellSoundFailure(QStringLiteral("the callsign in Morse"),
                     QStringLiteral("The callsign in Morse"), MorseSender1->GetErrorString());
}

void TForm1::ReportSpeechFailure() {
    TellSoundFailure(QStringLiteral("the spoken callsign"), QStringLiteral("The spoken callsign"),
                     Speaker1->GetErrorString());
}

// Told where the operator sees it without the alert waiting: on standard error at once, and
// in the audio menu the next time it opens.
void TForm1::TellSoundFailure(const UnicodeString& sound, const UnicodeString& shortName,
                              const UnicodeString& reason) {
    std::fprintf(stderr, "chimewell: %s could not play (%s); the system sound played instead\n",
                 qUtf8Printable(sound), qUtf8Printable(reason));
    shared.audioFailure =
        QStringLiteral("%1 could not play at the last mark: %2").arg(shortName, reason);
}
