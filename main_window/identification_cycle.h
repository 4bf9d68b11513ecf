#pragma once
// One tick of the clock and of the identification cycle, as plain logic: it is handed the
// calendar time and the shared state, and acts only through TickEffects, in a fixed order.
#include "main_window/timer_state.h"
#include "settings/audio_choice.h"
#include "settings/mark_interval.h"

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
    // The callsign in Morse; false when it cannot sound (nothing in it can be sent).
    virtual bool SendMorse() = 0;
    virtual void ReportMorseFailure() = 0;
    virtual void StopMorse() = 0;
    // The callsign spoken; false when it cannot sound (nothing to say, not synthesized).
    virtual bool SpeakCallsign() = 0;
    virtual void ReportSpeechFailure() = 0;
    virtual void StopSpeech() = 0;
    // Whether a due mark reminds: with the rig watched, only after a transmission. A mark that
    // does not passes silently and is done all the same; asked once for each mark raised.
    virtual bool MarkReminds() = 0;
    // Whether a reminder timed from the transmissions (counted from the first one, or at the
    // start of a contact) is due now; asked at every tick, and raised only while running.
    virtual bool ReminderDue() = 0;
    // The time left until the ID is due, shown at every tick while running (the next mark and
    // whether a reminder's alert is up), hidden while stopped.
    virtual void ShowCountdown(std::time_t nextMark, bool reminding) = 0;
    virtual void HideCountdown() = 0;
};

// The main-window members the tick reads (audioChoice, markInterval) and consumes
// (alertCloseRequest). A mark is every minute whose number is a multiple of markInterval;
// an interval that is none of kMarkIntervals means ten.
struct TickMembers {
    AudioChoice audioChoice;
    bool& alertCloseRequest;
    std::int32_t markInterval = kDefaultMarkInterval;
};

void RunTick(SharedTimerState& state, std::time_t now, TickMembers members, TickEffects& effects);
