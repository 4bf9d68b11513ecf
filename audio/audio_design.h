#pragma once
// What the audio menu and the audio file picker share: their fill.
#include "toolkit/form.h"

// Orange from the bottom edge to a quarter up, fading to white at the top edge.
inline const TGradient kAudioFill{{{0xFFE2831D, 0.27}, {claWhite, 1.0}}, {0.5, 1.0}, {0.5, 0.0}};
