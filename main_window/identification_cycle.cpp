#include "main_window/identification_cycle.h"

#include "settings/audio_choice.h"

#include <locale.h>
#include <time.h>

namespace {

constexpr int kTickIntervalMs = 100;
constexpr std::int32_t kAutoCloseSecond = 15;
constexpr std::int32_t kLastOnTimeSecond = 1;

// The pointer refers to the library's own record, overwritten by the next such call; the
// tick is the only caller and runs on the one UI thread.
std::tm* BreakDown(const SharedTimerState& state) {
    return state.localTimeZone ? std::localtime(&state.currentTime)
                               : std::gmtime(&state.currentTime);
}

// The clock and date read alike on every desktop, in English with AM/PM: the toolkit takes
// the operator's locale for the whole process, where "%r" loses AM/PM (German, French) or
// names run long (Japanese). The rest of the program keeps that locale.
template <std::size_t size>
void FormatTime(char (&text)[size], const char* format, const std::tm* time) {
    static const locale_t kClockLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    strftime_l(text, size, format, time, kClockLocale);
}

void FormatClock(SharedTimerState& state) {
    FormatTime(state.timeText, Is12HourClock(state.clockFormat) ? "%r" : "%T", state.currentTm);
}

void ShowClockAndDate(SharedTimerState& state, TickEffects& effects) {
    FormatClock(state);
    FormatTime(state.dateText, "%A %b %d, %Y ", state.currentTm);
    effects.SetDateText(state.dateText);
    effects.SetClockText(state.timeText);
}

// An unknown choice leaves the status line as it was.
void ShowAudioStatus(AudioChoice audioChoice, TickEffects& effects) {
    switch (audioChoice) {
    case AudioChoice::AudioFile:
        effects.SetAudioStatusText("Audio File Selected");
        break;
    case AudioChoice::SystemTone:
        effects.SetAudioStatusText("System Tone Selected");
        break;
    case AudioChoice::NoAudio:
        effects.SetAudioStatusText("No Audio Selected");
        break;
    case AudioChoice::Morse:
        effects.SetAudioStatusText("Morse Callsign Selected");
        break;
    case AudioChoice::Speech:
        effects.SetAudioStatusText("Spoken Callsign Selected");
        break;
    default:
        break;
    }
}

// A mark is never silent by accident: a file the player cannot open, or a callsign with nothing
// to send in Morse or to say, gives the system tone, and the operator is told why.
void SoundAlert(AudioChoice audioChoice, TickEffects& effects) {
    if (audioChoice == AudioChoice::SystemTone) {
        effects.SystemTone();
    }
    if (audioChoice == AudioChoice::AudioFile) {
        effects.LoadAudioFile();
        if (effects.AudioFileLoaded()) {
            effects.PlayAudioFile();
        } else {
            effects.ReportAudioFileFailure();
            effects.SystemTone();
        }
    }
    if (audioChoice == AudioChoice::Morse && !effects.SendMorse()) {
        effects.ReportMorseFailure();
        effects.SystemTone();
    }
    if (audioChoice == AudioChoice::Speech && !effects.SpeakCallsign()) {
        effects.ReportSpeechFailure();
        effects.SystemTone();
    }
}

// What closing the alert silences.
void StopSound(AudioChoice audioChoice, TickEffects& effects) {
    if (audioChoice == AudioChoice::AudioFile) {
        effects.StopAudioFile();
    }
    if (audioChoice == AudioChoice::Morse) {
        effects.StopMorse();
    }
    if (audioChoice == AudioChoice::Speech) {
        effects.StopSpeech();
    }
}

// The latest mark of the displayed clock at or before this tick.
std::time_t LatestMark(const SharedTimerState& state, std::int32_t interval) {
    return state.currentTime - (state.tickMinute % interval) * 60 - state.tickSecond;
}

// Each mark is raised once: at a tick in its seconds 0 and 1 or, when no tick could run then
// (a suspend, a stopped process, the clock stepped forward), at the first tick after it. Times
// decide, not tick counts, so ticks may come early or late; a clock stepped back over a mark
// that was raised does not raise it again. Marks missed before the latest are not replayed.
bool MarkDue(const SharedTimerState& state, std::time_t previousTick, std::int32_t interval) {
    const std::time_t mark = LatestMark(state, interval);
    const bool raised = state.raisedAt >= mark && state.raisedAt - mark < interval * 60;
    const bool onTime = state.currentTime - mark <= kLastOnTimeSecond;
    return !raised && (onTime || previousTick < mark);
}

void RaiseAlert(SharedTimerState& state, TickMembers members, TickEffects& effects) {
    state.raisedAt = state.currentTime;
    if (!state.alertShowing) {
        state.alertShowing = true;
        effects.ShowAlert();
    } else {
        effects.BringBackAlert();
    }
    SoundAlert(members.audioChoice, effects);
}

void TriggerAtMark(SharedTimerState& state, std::time_t previousTick, TickMembers members,
                   TickEffects& effects) {
    if (!MarkDue(state, previousTick, KnownMarkInterval(members.markInterval))) {
        return;
    }
    state.raisedAt = state.currentTime;
    if (effects.MarkReminds()) {
        RaiseAlert(state, members, effects);
    }
}

// A reminder due while stopped is dropped, as a mark would pass.
void TriggerReminder(SharedTimerState& state, TickMembers members, TickEffects& effects) {
    if (effects.ReminderDue() && state.running) {
        RaiseAlert(state, members, effects);
    }
}

void ShowCountdown(const SharedTimerState& state, TickMembers members, TickEffects& effects) {
    if (!state.running) {
        effects.HideCountdown();
        return;
    }
    const std::int32_t interval = KnownMarkInterval(members.markInterval);
    effects.ShowCountdown(LatestMark(state, interval) + interval * 60,
                          state.alertShowing && !state.alertFromButton);
}

// The latest second 15 of a minute at or before this tick.
std::time_t LatestAutoCloseSecond(const SharedTimerState& state) {
    return state.currentTime - (state.tickSecond - kAutoCloseSecond + 60) % 60;
}

// Any minute's second 15 after the mark closes a timer-raised alert, so switching to Auto mode
// late still closes it; a second 15 that no tick saw (a stall, a suspend, the clock stepped)
// closes it at the first tick after, as a missed mark is caught up. An alert raised with the
// Display button waits for a click. A mark caught up in or after a second 15 stays until the
// next one.
void AutoClose(SharedTimerState& state, std::time_t previousTick, TickMembers members,
               TickEffects& effects) {
    const std::time_t closing = LatestAutoCloseSecond(state);
    const bool due = closing > state.raisedAt &&
                     (state.tickSecond == kAutoCloseSecond || previousTick < closing);
    if (state.alertFromButton || !state.alertShowing || !state.autoMode || !due) {
        return;
    }
    state.alertShowing = false;
    members.alertCloseRequest = false;
    effects.HideAlert();
    StopSound(members.audioChoice, effects);
}

void CarryOutCloseRequest(SharedTimerState& state, TickMembers members, TickEffects& effects) {
    if (!members.alertCloseRequest) {
        return;
    }
    StopSound(members.audioChoice, effects);
    state.alertShowing = false;
    members.alertCloseRequest = false;
    effects.HideAlert();
    state.alertFromButton = false;
}

} // namespace

void RunTick(SharedTimerState& state, std::time_t now, TickMembers members, TickEffects& effects) {
    effects.SetTimerInterval(kTickIntervalMs);
    // The first tick after start-up counts as its own previous one: it catches no mark up.
    const std::time_t previousTick = state.currentTm ? state.currentTime : now;
    state.currentTime = now;
    state.currentTm = BreakDown(state);
    // A time the library cannot break down has nothing to show or decide; the next tick
    // reads the clock again.
    if (state.currentTm == nullptr) {
        return;
    }
    ShowClockAndDate(state, effects);
    state.tickMinute = state.currentTm->tm_min;
    state.tickSecond = state.currentTm->tm_sec;
    ShowAudioStatus(members.audioChoice, effects);
    if (state.running) {
        TriggerAtMark(state, previousTick, members, effects);
    }
    TriggerReminder(state, members, effects);
    if (state.running) {
        AutoClose(state, previousTick, members, effects);
    }
    CarryOutCloseRequest(state, members, effects);
    ShowCountdown(state, members, effects);
}
