#include "sound/file_types.h"

#include "sound/sound_file.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <sndfile.h>
#include <vector>

namespace {

// --- which file types decode -----------------------------------------------------------

struct AudioFileType {
    const char* name;
    const char* patterns;
    int container;
    int encoding; // 0: any the container holds
};

// The decoder is libsndfile: a type plays when the installed libsndfile was built with its
// container and encoding.
const std::vector<AudioFileType> kCandidateTypes{
    {"WAV", "*.wav", SF_FORMAT_WAV, 0},
    {"FLAC", "*.flac", SF_FORMAT_FLAC, 0},
    {"Ogg Vorbis", "*.ogg *.oga", SF_FORMAT_OGG, SF_FORMAT_VORBIS},
    {"Opus", "*.opus", SF_FORMAT_OGG, SF_FORMAT_OPUS},
    {"MP3", "*.mp3", SF_FORMAT_MPEG, SF_FORMAT_MPEG_LAYER_III},
    {"AIFF", "*.aif *.aiff", SF_FORMAT_AIFF, 0},
    {"Sun audio", "*.au *.snd", SF_FORMAT_AU, 0},
    {"Core Audio", "*.caf", SF_FORMAT_CAF, 0},
};

// The formats of one of libsndfile's lists (containers or encodings).
std::vector<int> Listed(int countCommand, int itemCommand) {
    int count = 0;
    sf_command(nullptr, countCommand, &count, sizeof count);
    std::vector<int> formats;
    for (int index = 0; index < count; ++index) {
        SF_FORMAT_INFO info{};
        info.format = index;
        if (sf_command(nullptr, itemCommand, &info, sizeof info) == 0)
            formats.push_back(info.format);
    }
    return formats;
}

bool Decodes(const AudioFileType& type) {
    static const std::vector<int> containers =
        Listed(SFC_GET_FORMAT_MAJOR_COUNT, SFC_GET_FORMAT_MAJOR);
    static const std::vector<int> encodings =
        Listed(SFC_GET_FORMAT_SUBTYPE_COUNT, SFC_GET_FORMAT_SUBTYPE);
    return std::ranges::count(containers, type.container) > 0 &&
           (type.encoding == 0 || std::ranges::count(encodings, type.encoding) > 0);
}

QString BuildFilter() {
    QStringList all;
    QStringList each;
    for (const AudioFileType& type : kCandidateTypes) {
        if (!Decodes(type))
            continue;
        all << QString::fromLatin1(type.patterns);
        each << QStringLiteral("%1 (%2)").arg(QString::fromLatin1(type.name),
                                              QString::fromLatin1(type.patterns));
    }
    if (all.isEmpty())
        return {};
    return QStringLiteral("Audio files (%1);;").arg(all.join(QLatin1Char(' '))) +
           each.join(QStringLiteral(";;"));
}

} // namespace

QString AudioFileFilter() {
    static const QString kFilter = BuildFilter();
    return kFilter;
}

QString WhyNoAudio(const QString& path) {
    TSoundFile file(path);
    if (QString reason = file.Open(); !reason.isEmpty())
        return reason;
    std::array<std::int16_t, 4096> start{};
    return file.Read(start) == 0 ? QStringLiteral("it holds no audio") : QString();
}
