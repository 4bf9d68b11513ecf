#pragma once
// The desktop's system sound: the sound theme's bell through libcanberra, played without
// waiting; a short built-in tone when that cannot play; the X11 bell as a last resort.
void MessageBeep(unsigned int type);
