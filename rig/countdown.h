#pragma once
// What the main window (and the tray icon) shows of the time left until the ID is due: to the
// end of the running period with rolling timing, to the next clock mark otherwise, in three
// stages: more than the warning time left, within it, and due. Free of any toolkit.
#include "rig/id_timer.h"

#include <string>

namespace rig {

enum class CountdownStage { Normal, Warning, Due };

struct Countdown {
    CountdownStage stage = CountdownStage::Normal;
    std::string text; // "ID in 7:42", "ID clock starts when you transmit"
    bool operator==(const Countdown&) const = default;
};

// Watching says whether the timer follows a transmitter; with the alert up, the ID is due now.
Countdown CountdownAt(IdTimer::Clock::time_point now, IdTimer::Clock::time_point nextMark,
                      const IdTimer& timer, bool watching, bool alertShowing);

} // namespace rig
