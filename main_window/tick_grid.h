#pragma once
// Where the clock's ticks fall: just after each whole multiple of their period on the wall
// clock, so that the displayed second changes on the second. The delay is worked out afresh
// at every tick from the clock as it reads then, so that drift, a suspend or a clock step
// leaves no tick off the grid for longer than one period.
#include <cstdint>

// Milliseconds, rounded up, from `wallClockNs` (nanoseconds since the epoch) to the next
// whole multiple of `periodMs` after it: from 1 to `periodMs`. A tick that comes early, just
// before the multiple it was meant for, is followed by one just after that multiple.
int DelayToNextTick(std::int64_t wallClockNs, int periodMs);
