#pragma once
// libespeak-ng for the whole process. Its state is global and not safe across threads, so every
// call into it runs on one thread, which this file owns, one job after another; the jobs hand
// their results to callbacks that run on that thread. The data is loaded by the first job, so a
// session that never speaks never loads it.
#include "sound/sound_source.h"

#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace speech {

// espeak-ng's rate, in words per minute.
inline constexpr int kMinRate = 80;
inline constexpr int kMaxRate = 300;

struct Synthesis {
    TSamples samples; // 16-bit mono; null when it failed
    int sampleRate = 0;
    QString error; // why it failed
};

struct Voice {
    QString id;   // as espeak-ng names it: "gmw/en-US"
    QString name; // "English (America)"
};

// Synthesizes `text` in `voice` (the default English voice when that is not installed) at
// `rate` words per minute, clamped to the range above.
void Synthesize(std::string text, std::string voice, int rate, std::function<void(Synthesis)> done);
// The voices installed, by name; none when espeak-ng's data cannot be read.
void ListVoices(std::function<void(std::vector<Voice>)> done);

} // namespace speech
