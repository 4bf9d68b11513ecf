#include "rig/countdown.h"

#include <cstdio>

namespace rig {
namespace {

// Whole seconds, rounded up, so that 0:00 is the moment itself.
std::string Left(std::chrono::system_clock::duration left) {
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(left).count();
    char text[32];
    std::snprintf(text, sizeof text, "ID in %lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return text;
}

Countdown Until(IdTimer::Clock::time_point now, IdTimer::Clock::time_point due,
                std::chrono::seconds warn) {
    if (now >= due)
        return {CountdownStage::Due, "ID due now"};
    return {due - now > warn ? CountdownStage::Normal : CountdownStage::Warning, Left(due - now)};
}

} // namespace

Countdown CountdownAt(IdTimer::Clock::time_point now, IdTimer::Clock::time_point nextMark,
                      const IdTimer& timer, bool watching, bool alertShowing) {
    const IdTiming& timing = timer.Timing();
    if (alertShowing)
        return {CountdownStage::Due, "ID due now"};
    if (!timing.rolling)
        return Until(now, nextMark, timing.warn);
    if (!watching || !timer.Trusted()) {
        Countdown marks = Until(now, nextMark, timing.warn);
        marks.text += watching ? " (rig link down: clock marks)" : " (rig off: clock marks)";
        return marks;
    }
    if (const auto deadline = timer.Deadline())
        return Until(now, *deadline, timing.warn);
    return {CountdownStage::Normal, "ID clock starts when you transmit"};
}

} // namespace rig
