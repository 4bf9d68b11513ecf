#include "main_window/identification_cycle.h"

namespace {

constexpr int tickIntervalMs = 100;
constexpr std::int32_t noAudio = 0;
constexpr std::int32_t systemTone = 1;
constexpr std::int32_t audioFile = 2;
constexpr std::int32_t autoCloseSecond = 15;
constexpr std::int32_t rearmSecond = 2;

// The pointer refers to the library's own record, overwritten by the next such call; the
// tick is the only caller and runs on the one UI thread.
std::tm* BreakDown(const SharedTimerState& state) {
    return state.localTimeZone ? std::localtime(&state.currentTime)
                               : std::gmtime(&state.currentTime);
}

// Only 0 and 1 select the 12-hour clock; a negative counter (a hand-edited settings file)
// overwrites the 12-hour text with the 24-hour one.
void FormatClock(SharedTimerState& state) {
    if (state.clockFormat > 1) {
        std::strftime(state.timeText, sizeof state.timeText, "%T", state.currentTm);
        return;
    }
    std::strftime(state.timeText, sizeof state.timeText, "%r", state.currentTm);
    if (state.clockFormat < 0) {
        std::strftime(state.timeText, sizeof state.timeText, "%T", state.currentTm);
    }
}

void ShowClockAndDate(SharedTimerState& state, TickEffects& effects) {
    FormatClock(state);
    std::strftime(state.dateText, sizeof state.dateText, "%A %b %d, %Y ", state.currentTm);
    effects.SetDateText(state.dateText);
    effects.SetClockText(state.timeText);
}

// An unknown choice leaves the status line as it was.
void ShowAudioStatus(std::int32_t audioChoice, TickEffects& effects) {
    switch (audioChoice) {
    case audioFile:
        effects.SetAudioStatusText("Audio File Selected");
        break;
    case systemTone:
        effects.SetAudioStatusText("System Tone Selected");
        break;
    case noAudio:
        effects.SetAudioStatusText("No Audio Selected");
        break;
    default:
        break;
    }
}

// A file the player cannot open leaves it without a medium: the mark stays silent.
void SoundAlert(std::int32_t audioChoice, TickEffects& effects) {
    if (audioChoice == systemTone) {
        effects.SystemTone();
    }
    if (audioChoice == audioFile) {
        effects.LoadAudioFile();
        if (effects.AudioFileLoaded()) {
            effects.PlayAudioFile();
        }
    }
}

// Fires once per mark: ticks come ten a second, so seconds 0 and 1 see many of them.
void TriggerAtMark(SharedTimerState& state, std::int32_t audioChoice, TickEffects& effects) {
    if (state.tickMinute % 10 != 0 || !state.armed || state.tickSecond > 1) {
        return;
    }
    state.armed = false;
    if (!state.alertShowing) {
        state.alertShowing = true;
        effects.ShowAlert();
    } else {
        effects.BringBackAlert();
    }
    SoundAlert(audioChoice, effects);
}

// Any minute's second 15 closes a timer-raised alert, so switching to Auto mode late still
// closes it; an alert raised with the Display button waits for a click.
void AutoClose(SharedTimerState& state, TickMembers members, TickEffects& effects) {
    if (state.alertFromButton || !state.alertShowing || state.tickSecond != autoCloseSecond ||
        !state.autoMode) {
        return;
    }
    state.alertShowing = false;
    members.alertCloseRequest = false;
    effects.HideAlert();
    if (members.audioChoice == audioFile) {
        effects.StopAudioFile();
    }
}

void CarryOutCloseRequest(SharedTimerState& state, TickMembers members, TickEffects& effects) {
    if (!members.alertCloseRequest) {
        return;
    }
    if (members.audioChoice == audioFile) {
        effects.StopAudioFile();
    }
    state.alertShowing = false;
    members.alertCloseRequest = false;
    effects.HideAlert();
    state.alertFromButton = false;
}

} // namespace

void RunTick(SharedTimerState& state, std::time_t now, TickMembers members, TickEffects& effects) {
    effects.SetTimerInterval(tickIntervalMs);
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
        TriggerAtMark(state, members.audioChoice, effects);
        AutoClose(state, members, effects);
    }
    CarryOutCloseRequest(state, members, effects);
    if (state.tickSecond >= rearmSecond) {
        state.armed = true;
    }
}
