#pragma once
// What a TSoundStream plays: 16-bit samples, channels interleaved, read from the start to the
// end. A decoded file (TSoundFile) or samples the program made itself (TSampleBuffer).
#include <QString>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class TSoundSource {
public:
    virtual ~TSoundSource() = default;
    // Readies the source on the stream's thread, before anything else is asked of it, where it
    // may take its time (a file is opened and decoded there); the reason it cannot play, or
    // empty.
    virtual QString Open() { return {}; }
    virtual int GetSampleRate() const = 0;
    virtual int GetChannels() const = 0;
    // Fills `samples` with the next whole frames; returns the number of samples written, 0 at
    // the end.
    virtual std::size_t Read(std::span<std::int16_t> samples) = 0;
};

using TSamples = std::shared_ptr<const std::vector<std::int16_t>>;

// Mono samples made in memory. They are shared, so a sound still playing keeps its own while
// new ones are made.
class TSampleBuffer : public TSoundSource {
public:
    TSampleBuffer(TSamples samples, int sampleRate)
        : m_samples(std::move(samples))
        , m_sampleRate(sampleRate) {}
    int GetSampleRate() const override { return m_sampleRate; }
    int GetChannels() const override { return 1; }
    std::size_t Read(std::span<std::int16_t> samples) override {
        const std::size_t count = std::min(samples.size(), m_samples->size() - m_position);
        std::copy_n(m_samples->begin() + static_cast<std::ptrdiff_t>(m_position), count,
                    samples.begin());
        m_position += count;
        return count;
    }

private:
    TSamples m_samples;
    int m_sampleRate;
    std::size_t m_position = 0;
};
