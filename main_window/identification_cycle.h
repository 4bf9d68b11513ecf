#pragma once
// One tick of the clock and of the identification cycle, as plain logic: it is handed the
// calendar time and the shared state, and acts only through TickEffects, in a fixed order.
#include "main_window/timer_state.h"
#include "settings/audio_choice.h"

#include <cstdint>
#include <ctime>

class TickEffects {
public:
    virtual ~TickEffects() = default;
    virtual void SetTimerInterval(int milliseconds) = 0;
    virtual void SetDateText(const char* text) = 0;
    virtual void SetClockText(const char* text) = 0;
    virtual void SetAudioStatusText(const char* text) = 0;
    virtual void ShowAlert() = 0;
    // A minimised alert is restored and raised at its stored place; a shown one is left alone.
    virtual void BringBackAlert() = 0;
    virtual void HideAlert() = 0;
    virtual void SystemTone() = 0;
    virtual void LoadAudioFile() = 0;
    virtual bool AudioFileLoaded() = 0;
    virtual void PlayAudioFile() = 0;
    // The chosen file could not play at a mark: the operator is told why, without waiting.
    virtual void ReportAudioFileFailure() = 0;
    virtual void StopAudioFile() = 0;
};

// The main-window members the tick reads (audioChoice) and consumes (alertCloseRequest).
struct TickMembers {
    AudioChoice audioChoice;
    bool& alertCloseRequest;
};

void RunTick(SharedTimerState& state, std::time_t now, TickMembers members, TickEffects& effects);
