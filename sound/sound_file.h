#pragma once
// TSoundFile: an audio file decoded by libsndfile into 16-bit samples. Only a readable regular
// file is opened, as checked on the opened descriptor itself, so nothing ever waits on a FIFO
// or a device.
#include "sound/sound_source.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <span>

class TSoundFile : public TSoundSource {
public:
    explicit TSoundFile(QString path);
    ~TSoundFile() override;

    // The reason ("there is no such file"...) when the file cannot be opened or holds no audio
    // that libsndfile decodes; empty when it opened.
    QString Open() override;
    int GetSampleRate() const override { return m_sampleRate; }
    int GetChannels() const override { return m_channels; }
    std::size_t Read(std::span<std::int16_t> samples) override;

private:
    QString Fail(const QString& reason);

    struct Decoder;
    QString m_path;
    std::unique_ptr<Decoder> m_decoder;
    int m_sampleRate = 0;
    int m_channels = 0;
};

// Why `path` cannot be opened as a sound file, in the words Open uses ("there is no such
// file"...); empty when it is a readable regular file. Nothing is opened.
QString WhyNotASoundFile(const QString& path);
