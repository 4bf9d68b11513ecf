#include "sound/sound_output.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <optional>

namespace {

QString s_chosen;

std::optional<QAudioDevice> ChosenDevice() {
    if (s_chosen.isEmpty())
        return std::nullopt;
    for (const QAudioDevice& device : QMediaDevices::audioOutputs())
        if (QString::fromUtf8(device.id()) == s_chosen)
            return device;
    return std::nullopt;
}

} // namespace

std::vector<TSoundOutput> SoundOutputs() {
    std::vector<TSoundOutput> outputs;
    for (const QAudioDevice& device : QMediaDevices::audioOutputs())
        outputs.push_back({QString::fromUtf8(device.id()), device.description()});
    return outputs;
}

void SetSoundOutput(const QString& id) {
    s_chosen = id;
}

QString GetSoundOutput() {
    return s_chosen;
}

bool SoundOutputConnected() {
    return s_chosen.isEmpty() || ChosenDevice();
}

QByteArray SoundOutputSink() {
    return SoundOutputConnected() ? GetSoundOutput().toUtf8() : QByteArray();
}

void PrepareSoundOutput() {
    static_cast<void>(SoundOutputConnected());
}
