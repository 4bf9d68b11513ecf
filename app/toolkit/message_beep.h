#pragma once
// The desktop's system sound: the sound theme's bell through libcanberra, played without
// waiting; a short built-in tone when that cannot play; the X11 bell as a last resort.
void MessageBeep(unsigned int type);

// Connects to the sound server now, off the user-interface thread, so that the first
// MessageBeep sounds at once.
void PrepareMessageBeep();
