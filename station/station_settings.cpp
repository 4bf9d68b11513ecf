#include "station/station_settings.h"

#include "app/toolkit/sound_output.h"
#include "app/window_set.h"
#include "morse/morse.h"

#include <algorithm>

void RestoreStationOptions(const TIniFile& ini) {
    shared.markInterval = KnownMarkInterval(ini.ReadInteger(Station::kInterval));
    shared.morseWpm =
        std::clamp(ini.ReadInteger(Station::kMorseWpm), morse::kMinWpm, morse::kMaxWpm);
    shared.morseHz =
        std::clamp(ini.ReadInteger(Station::kMorseHz), morse::kMinToneHz, morse::kMaxToneHz);
    SetSoundOutput(ini.ReadString(Station::kOutput));
}

void SaveStationOptions(TIniFile& ini) {
    ini.WriteInteger(Station::kInterval, shared.markInterval);
    ini.WriteInteger(Station::kMorseWpm, shared.morseWpm);
    ini.WriteInteger(Station::kMorseHz, shared.morseHz);
    ini.WriteString(Station::kOutput, GetSoundOutput());
}
