#include "station/station_settings.h"

#include "morse/morse.h"
#include "rig/transmitter_watch.h"
#include "sound/sound_output.h"
#include "window_set/window_set.h"

#include <algorithm>
#include <limits>

QPointer<rig::TransmitterWatch> stationRig;

namespace {

// A port out of range, or no host, reads as the default.
void RestoreRig(const TIniFile& ini) {
    const std::int32_t port = ini.ReadInteger(Station::kRigPort);
    const bool portKnown = port > 0 && port <= std::numeric_limits<quint16>::max();
    const UnicodeString host = ini.ReadString(Station::kRigHost).trimmed();
    stationRig->Watch(ini.ReadBool(Station::kRig),
                      host.isEmpty() ? DefaultText(Station::kRigHost) : host,
                      static_cast<quint16>(portKnown ? port : Station::kRigPort.byDefault));
}

} // namespace

void RestoreStationOptions(const TIniFile& ini) {
    shared.markInterval = KnownMarkInterval(ini.ReadInteger(Station::kInterval));
    shared.morseWpm =
        std::clamp(ini.ReadInteger(Station::kMorseWpm), morse::kMinWpm, morse::kMaxWpm);
    shared.morseHz =
        std::clamp(ini.ReadInteger(Station::kMorseHz), morse::kMinToneHz, morse::kMaxToneHz);
    SetSoundOutput(ini.ReadString(Station::kOutput));
    RestoreRig(ini);
}

void SaveStationOptions(TIniFile& ini) {
    ini.WriteInteger(Station::kInterval, shared.markInterval);
    ini.WriteInteger(Station::kMorseWpm, shared.morseWpm);
    ini.WriteInteger(Station::kMorseHz, shared.morseHz);
    ini.WriteString(Station::kOutput, GetSoundOutput());
    ini.WriteBool(Station::kRig, stationRig->IsOn());
    ini.WriteString(Station::kRigHost, stationRig->Host());
    ini.WriteInteger(Station::kRigPort, stationRig->Port());
}
