#include "toolkit/media_codec_manager.h"

#include "sound/file_types.h"

#include <stdexcept>

UnicodeString TMediaCodecManager::GetFilterString() {
    return AudioFileFilter();
}

std::unique_ptr<TMedia> TMediaCodecManager::CreateFromFile(const UnicodeString& path) {
    if (const UnicodeString reason = WhyNoAudio(path); !reason.isEmpty())
        throw std::runtime_error(
            QStringLiteral("Cannot play \"%1\": %2.").arg(path, reason).toStdString());
    return std::make_unique<TMedia>(path);
}
