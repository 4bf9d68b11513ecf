#include "main_window/tick_grid.h"

namespace {

constexpr std::int64_t nsPerMs = 1'000'000;

} // namespace

int DelayToNextTick(std::int64_t wallClockNs, int periodMs) {
    if (periodMs <= 0) {
        return 0;
    }
    const std::int64_t period = periodMs * nsPerMs;
    // Floored, so that times before the epoch lie on the same grid.
    const std::int64_t intoPeriod = (wallClockNs % period + period) % period;
    return static_cast<int>((period - intoPeriod + nsPerMs - 1) / nsPerMs);
}
