#pragma once
// The desktop's system sound: the sound theme's bell through libcanberra, played without
// waiting; a short built-in tone when that cannot play; the X11 bell as a last resort. The bell
// and the tone play on the chosen sound output (sound_output.h); the X11 bell is the X server's.
void MessageBeep(unsigned int type);

// Connects to the sound server now, off the user-interface thread, so that the first
// MessageBeep sounds at once.
void PrepareMessageBeep();
