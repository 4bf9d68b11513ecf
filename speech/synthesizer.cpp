#include "speech/synthesizer.h"

#include "settings/settings_keys.h"
#include "sound/worker_thread.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <espeak-ng/espeak_ng.h>

namespace speech {
namespace {

static_assert(sizeof(short) == sizeof(std::int16_t));

// Below this a sample is silence: espeak-ng starts its speech with some 70 ms of it, which
// would make every mark's speech late.
constexpr std::int16_t kSilence = 64;

// Voices that need the separate MBROLA synthesizer, which espeak-ng only drives.
constexpr std::string_view kMbrolaFamily = "mb/";

// The one thread that calls espeak-ng. It outlives every window; the program's end lets it go.
TWorkerThread& SpeechThread() {
    static TWorkerThread thread("speech");
    return thread;
}

// Touched only on the speech thread: 0 until the data is loaded.
int loadedSampleRate = 0;

QString Message(espeak_ng_STATUS status) {
    std::array<char, 512> text{};
    espeak_ng_GetStatusCodeMessage(status, text.data(), text.size());
    return QString::fromUtf8(text.data());
}

// The samples of each synthesis go to the vector its call names.
int Collect(short* wav, int count, espeak_EVENT* events) {
    if (wav && count > 0 && events) {
        auto& samples = *static_cast<std::vector<std::int16_t>*>(events->user_data);
        samples.insert(samples.end(), wav, wav + count);
    }
    return 0;
}

// Loads the data unless it is loaded; the reason it cannot, or empty. A failure is tried again
// at the next job, so that data installed meanwhile is found.
QString Load() {
    if (loadedSampleRate > 0)
        return {};
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    espeak_ng_ClearErrorContext(&context);
    if (status == ENS_OK)
        status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 0, nullptr);
    if (status != ENS_OK)
        return QStringLiteral("espeak-ng could not start: %1").arg(Message(status));
    espeak_SetSynthCallback(Collect);
    loadedSampleRate = espeak_ng_GetSampleRate();
    return {};
}

espeak_ng_STATUS SetVoice(const std::string& voice, int rate) {
    espeak_ng_STATUS status = espeak_ng_SetVoiceByName(voice.c_str());
    if (status != ENS_OK)
        status = espeak_ng_SetVoiceByName(std::string(Station::kSpeechVoice.byDefault).c_str());
    return status == ENS_OK
               ? espeak_ng_SetParameter(espeakRATE, std::clamp(rate, kMinRate, kMaxRate), 0)
               : status;
}

Synthesis Synthesized(const std::string& text, const std::string& voice, int rate) {
    if (QString reason = Load(); !reason.isEmpty())
        return {nullptr, 0, reason};
    std::vector<std::int16_t> samples;
    espeak_ng_STATUS status = SetVoice(voice, rate);
    if (status == ENS_OK)
        status = espeak_ng_Synthesize(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0,
                                      espeakCHARS_UTF8, nullptr, &samples);
    if (status != ENS_OK)
        return {nullptr, 0, QStringLiteral("espeak-ng could not say it: %1").arg(Message(status))};
    samples.erase(samples.begin(), std::ranges::find_if(samples, [](std::int16_t sample) {
                      return std::abs(sample) > kSilence;
                  }));
    if (samples.empty())
        return {nullptr, 0, QStringLiteral("espeak-ng said nothing")};
    return {std::make_shared<const std::vector<std::int16_t>>(std::move(samples)), loadedSampleRate,
            QString()};
}

std::vector<Voice> InstalledVoices() {
    std::vector<Voice> voices;
    if (!Load().isEmpty())
        return voices;
    for (const espeak_VOICE** voice = espeak_ListVoices(nullptr); *voice; ++voice)
        if (!std::string_view((*voice)->identifier).starts_with(kMbrolaFamily))
            voices.push_back({QString::fromUtf8((*voice)->identifier),
                              QString::fromUtf8((*voice)->name).trimmed()});
    std::ranges::sort(voices, {}, &Voice::name);
    return voices;
}

} // namespace

void Synthesize(std::string text, std::string voice, int rate,
                std::function<void(Synthesis)> done) {
    SpeechThread().Post([text = std::move(text), voice = std::move(voice), rate,
                         done = std::move(done)] { done(Synthesized(text, voice, rate)); });
}

void ListVoices(std::function<void(std::vector<Voice>)> done) {
    SpeechThread().Post([done = std::move(done)] { done(InstalledVoices()); });
}

} // namespace speech
