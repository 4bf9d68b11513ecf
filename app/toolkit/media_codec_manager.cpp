#include "app/toolkit/media_codec_manager.h"

#include <gst/gst.h>

#include <QAudioDecoder>
#include <QAudioFormat>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <optional>
#include <stdexcept>
#include <vector>

namespace {

// --- which file types decode -----------------------------------------------------------

struct AudioFileType {
    const char* name;
    const char* patterns;
    // Each needs an installed demuxer or decoder that accepts it.
    std::vector<const char*> caps;
};

// The media backend is GStreamer: a type plays when GStreamer can take its container apart
// and decode its audio. (Qt's own list of decodable formats misses most that do play.)
const std::vector<AudioFileType> kCandidateTypes{
    {"WAV", "*.wav", {"audio/x-wav"}},
    {"FLAC", "*.flac", {"audio/x-flac"}},
    {"Ogg Vorbis", "*.ogg *.oga", {"application/ogg", "audio/x-vorbis"}},
    {"Opus", "*.opus", {"application/ogg", "audio/x-opus"}},
    {"MP3", "*.mp3", {"audio/mpeg, mpegversion=(int)1, layer=(int)3"}},
    {"MPEG-4 audio", "*.m4a", {"audio/x-m4a", "audio/mpeg, mpegversion=(int)4"}},
    {"AIFF", "*.aif *.aiff", {"audio/x-aiff"}},
    {"Sun audio", "*.au *.snd", {"audio/x-au"}},
    {"WavPack", "*.wv", {"audio/x-wavpack"}},
    {"Windows Media audio", "*.wma", {"video/x-ms-asf", "audio/x-wma"}},
};

bool Accepted(GList* factories, const char* caps) {
    GstCaps* wanted = gst_caps_from_string(caps);
    GList* accepting = gst_element_factory_list_filter(factories, wanted, GST_PAD_SINK, FALSE);
    const bool found = accepting != nullptr;
    gst_plugin_feature_list_free(accepting);
    gst_caps_unref(wanted);
    return found;
}

bool Decodes(GList* factories, const AudioFileType& type) {
    for (const char* caps : type.caps)
        if (!Accepted(factories, caps))
            return false;
    return true;
}

std::vector<const AudioFileType*> DecodableTypes() {
    if (!gst_init_check(nullptr, nullptr, nullptr))
        return {};
    GList* factories = gst_element_factory_list_get_elements(
        GST_ELEMENT_FACTORY_TYPE_DECODER | GST_ELEMENT_FACTORY_TYPE_DEMUXER, GST_RANK_MARGINAL);
    std::vector<const AudioFileType*> decodable;
    for (const AudioFileType& type : kCandidateTypes)
        if (Decodes(factories, type))
            decodable.push_back(&type);
    gst_plugin_feature_list_free(factories);
    return decodable;
}

UnicodeString BuildFilter() {
    QStringList all;
    QStringList each;
    for (const AudioFileType* type : DecodableTypes()) {
        all << QString::fromLatin1(type->patterns);
        each << QStringLiteral("%1 (%2)").arg(QString::fromLatin1(type->name),
                                              QString::fromLatin1(type->patterns));
    }
    if (all.isEmpty())
        return {};
    return QStringLiteral("Audio files (%1);;").arg(all.join(QLatin1Char(' '))) +
           each.join(QStringLiteral(";;"));
}

// --- opening one file ------------------------------------------------------------------

// Ample for the first buffer of any local file; a slower file is refused, not waited for.
constexpr int kDecodeLimitMs = 5000;

std::runtime_error CannotPlay(const UnicodeString& path, const QString& reason) {
    return std::runtime_error(
        QStringLiteral("Cannot play \"%1\": %2.").arg(path, reason).toStdString());
}

// Only a readable regular file can be opened without risk of blocking: a FIFO waits for a
// writer, a device may never end.
QString NotARegularFile(const UnicodeString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return QStringLiteral("there is no such file");
    if (info.isDir())
        return QStringLiteral("it is a folder, not a file");
    if (!info.isFile())
        return QStringLiteral("it is not a regular file");
    if (!info.isReadable())
        return QStringLiteral("it cannot be read");
    return {};
}

// Without a format of its own the decoder offers the backend no conversion, and FLAC and
// MP3 then fail to negotiate; any valid format will do.
QAudioFormat ProbeFormat() {
    QAudioFormat format;
    format.setSampleFormat(QAudioFormat::Int16);
    format.setSampleRate(44100);
    format.setChannelCount(2);
    return format;
}

QString DecodeFailure(const QAudioDecoder& decoder) {
    QString detail = decoder.errorString().trimmed();
    if (detail.endsWith(QLatin1Char('.')))
        detail.chop(1);
    return detail.isEmpty()
               ? QStringLiteral("it holds no audio that can be decoded")
               : QStringLiteral("it holds no audio that can be decoded (%1)").arg(detail);
}

// Decodes until the first buffer of audio comes out. The wait runs a local event loop that
// holds the operator's input back: timers and painting go on, so the clock keeps ticking,
// but no handler of the window that asked can run in between.
QString FirstBufferFailure(const UnicodeString& path) {
    QAudioDecoder decoder;
    QEventLoop loop;
    std::optional<QString> failure;
    auto settle = [&](const QString& outcome) {
        if (!failure)
            failure = outcome;
        loop.quit();
    };
    QObject::connect(&decoder, &QAudioDecoder::bufferReady, &loop, [&] { settle({}); });
    QObject::connect(&decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), &loop,
                     [&] { settle(DecodeFailure(decoder)); });
    QObject::connect(&decoder, &QAudioDecoder::finished, &loop,
                     [&] { settle(QStringLiteral("it holds no audio")); });
    QTimer::singleShot(kDecodeLimitMs, &loop, [&] {
        settle(
            QStringLiteral("it could not be decoded within %1 seconds").arg(kDecodeLimitMs / 1000));
    });
    decoder.setAudioFormat(ProbeFormat());
    decoder.setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    decoder.start();
    // The decoder may already have settled inside start(), before the loop could run.
    if (!failure)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    decoder.stop();
    return *failure;
}

} // namespace

UnicodeString TMediaCodecManager::GetFilterString() {
    static const UnicodeString kFilter = BuildFilter();
    return kFilter;
}

std::unique_ptr<TMedia> TMediaCodecManager::CreateFromFile(const UnicodeString& path) {
    if (const QString failure = NotARegularFile(path); !failure.isEmpty())
        throw CannotPlay(path, failure);
    if (const QString failure = FirstBufferFailure(path); !failure.isEmpty())
        throw CannotPlay(path, failure);
    return std::make_unique<TMedia>(path);
}
