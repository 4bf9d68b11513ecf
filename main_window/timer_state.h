#pragma once
// The state that the identification cycle and the main window's controls share. Free of
// any toolkit so that the cycle can be tested with fixed times and no display.
#include <cstdint>
#include <ctime>

struct SharedTimerState {
    bool running = true;
    // When the timer last raised a mark (0: never); each mark is raised once.
    std::time_t raisedAt = 0;
    bool autoMode = true;
    bool localTimeZone = true;
    // A double-click counts it round 0..3; see Is12HourClock.
    std::int32_t clockFormat = 0;
    bool alertShowing = false;
    bool alertFromButton = false;
    std::time_t currentTime = 0;
    std::tm* currentTm = nullptr;
    char timeText[50] = {};
    char dateText[50] = {};
    std::int32_t tickMinute = 0;
    std::int32_t tickSecond = 0;
};

// Only 0 and 1 select the 12-hour clock; any other value (also a negative one from a
// hand-edited settings file) the 24-hour one.
constexpr bool Is12HourClock(std::int32_t clockFormat) {
    return clockFormat == 0 || clockFormat == 1;
}
