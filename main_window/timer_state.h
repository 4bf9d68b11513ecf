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
