#pragma once
// The output the program's sounds play on: every media player (the audio file, the Morse, the
// built-in tone) and the desktop's bell. The operator chooses one by its id (Qt Multimedia's,
// which on PulseAudio and PipeWire is the sink's name); none, or one that is not connected now,
// means the desktop's default. It is looked up at every sound, so that an output plugged back in
// is used again without a restart.
#include <QString>
#include <vector>

struct TSoundOutput {
    QString Id;
    QString Description;
    bool operator==(const TSoundOutput&) const = default;
};

// The outputs the desktop offers now.
std::vector<TSoundOutput> SoundOutputs();

void SetSoundOutput(const QString& id);
QString GetSoundOutput();
// False while the chosen output is not connected; its sounds go to the default meanwhile.
bool SoundOutputConnected();
// Where a sound starts now, as the sound server names it: the chosen output (its id) while it
// is connected, else empty, for the server's default.
QByteArray SoundOutputSink();
// Reads the desktop's outputs now, when one is chosen: the first reading connects to the sound
// server, which a mark must not wait for; later ones are at once.
void PrepareSoundOutput();
