// The timer's tick: one call into the identification cycle, whose effects land on this
// window's controls, the alert window, the media player and the system sound.
#include "main_window/form1.h"

#include "alert_window/alert.h"
#include "app/toolkit/message_beep.h"
#include "app/window_set.h"
#include "main_window/identification_cycle.h"

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
    void LoadAudioFile() override { m_form.MediaPlayer1->SetFileName(m_form.selectedFile); }
    bool AudioFileLoaded() override { return m_form.MediaPlayer1->GetMedia() != nullptr; }
    void PlayAudioFile() override { m_form.MediaPlayer1->Play(); }
    void StopAudioFile() override { m_form.MediaPlayer1->Stop(); }

private:
    TForm1& m_form;
};

} // namespace

void TForm1::MilliTimerTimer(TObject*) {
    MainWindowEffects effects(*this);
    RunTick(timerState, std::time(nullptr), {audioChoice, alertCloseRequest}, effects);
}
