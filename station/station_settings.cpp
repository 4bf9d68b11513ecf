#include "station/station_settings.h"

#include "morse/morse.h"
#include "rig/transmitter_watch.h"
#include "sound/sound_output.h"
#include "window_set/window_set.h"

#include <algorithm>
#include <array>
#include <limits>

QPointer<rig::TransmitterWatch> stationRig;

namespace {

using rig::SourceKind;

// Each kind as stored, and where its address is kept, in the order of SourceKind. WSJT-X's
// multicast group stands as its host.
struct KindKeys {
    std::string_view name;
    TextKey host;
    IntegerKey port;
};
constexpr std::array<KindKeys, 4> kKinds = {{
    {"rigctld", Station::kRigHost, Station::kRigPort},
    {"flrig", Station::kFlrigHost, Station::kFlrigPort},
    {"fldigi", Station::kFldigiHost, Station::kFldigiPort},
    {"wsjtx", Station::kWsjtxGroup, Station::kWsjtxPort},
}};

const KindKeys& KeysOf(SourceKind kind) {
    return kKinds[static_cast<std::size_t>(kind)];
}

// An unknown kind reads as rigctld, the only one an older Chimewell knew.
SourceKind ReadKind(const TIniFile& ini) {
    const std::string stored = ini.ReadString(Station::kRigKind).trimmed().toStdString();
    const auto found = std::find_if(kKinds.begin(), kKinds.end(), [&stored](const KindKeys& kind) {
        return kind.name == stored;
    });
    return found == kKinds.end() ? SourceKind::Rigctld
                                 : static_cast<SourceKind>(found - kKinds.begin());
}

// A port out of range, or no host, reads as the default.
rig::ServerAddress ReadAddress(const TIniFile& ini, const KindKeys& keys) {
    const std::int32_t port = ini.ReadInteger(keys.port);
    const bool portKnown = port > 0 && port <= std::numeric_limits<quint16>::max();
    const UnicodeString host = ini.ReadString(keys.host).trimmed();
    return {host.isEmpty() ? DefaultText(keys.host) : host,
            static_cast<quint16>(portKnown ? port : keys.port.byDefault)};
}

void RestoreRig(const TIniFile& ini) {
    rig::SourceChoice choice;
    for (std::size_t kind = 0; kind < kKinds.size(); ++kind) {
        choice.kind = static_cast<SourceKind>(kind);
        choice.SetChosen(ReadAddress(ini, kKinds[kind]));
    }
    choice.on = ini.ReadBool(Station::kRig);
    choice.kind = ReadKind(ini);
    stationRig->Watch(choice);
}

void SaveAddress(TIniFile& ini, rig::SourceChoice choice, SourceKind kind) {
    choice.kind = kind;
    ini.WriteString(KeysOf(kind).host, choice.Chosen().host);
    ini.WriteInteger(KeysOf(kind).port, choice.Chosen().port);
}

// rigctld's keys where an older Chimewell wrote them, the others after.
void SaveRig(TIniFile& ini) {
    const rig::SourceChoice& choice = stationRig->Choice();
    ini.WriteBool(Station::kRig, choice.on);
    SaveAddress(ini, choice, SourceKind::Rigctld);
    ini.WriteString(Station::kRigKind, QString::fromUtf8(KeysOf(choice.kind).name));
    for (const SourceKind kind : {SourceKind::Flrig, SourceKind::Fldigi, SourceKind::Wsjtx})
        SaveAddress(ini, choice, kind);
}

constexpr std::string_view kRolling = "rolling";

// A warning longer than the interval is held to it where it is used.
void RestoreTiming(const TIniFile& ini) {
    rig::IdTiming timing;
    timing.rolling = ini.ReadString(Station::kTiming).trimmed().toStdString() == kRolling;
    timing.interval = std::chrono::minutes(shared.markInterval);
    timing.warn = std::chrono::seconds(std::max(0, ini.ReadInteger(Station::kWarnSeconds)));
    timing.polite = ini.ReadBool(Station::kPolite);
    timing.startReminder = ini.ReadBool(Station::kStartReminder);
    stationRig->SetTiming(timing);
    shared.tray = ini.ReadBool(Station::kTray);
}

void SaveTiming(TIniFile& ini) {
    const rig::IdTiming& timing = stationRig->Timing();
    ini.WriteString(Station::kTiming,
                    QString::fromUtf8(timing.rolling ? kRolling : Station::kTiming.byDefault));
    ini.WriteInteger(Station::kWarnSeconds, static_cast<std::int32_t>(timing.warn.count()));
    ini.WriteBool(Station::kPolite, timing.polite);
    ini.WriteBool(Station::kStartReminder, timing.startReminder);
    ini.WriteBool(Station::kTray, shared.tray);
}

constexpr std::string_view kLetters = "letters";

void RestoreSpeech(const TIniFile& ini) {
    shared.speechLetters =
        ini.ReadString(Station::kSpeechSpelling).trimmed().toStdString() == kLetters;
    const UnicodeString voice = ini.ReadString(Station::kSpeechVoice).trimmed();
    shared.speechVoice = voice.isEmpty() ? DefaultText(Station::kSpeechVoice) : voice;
    shared.speechRate =
        std::clamp(ini.ReadInteger(Station::kSpeechRate), speech::kMinRate, speech::kMaxRate);
}

void SaveSpeech(TIniFile& ini) {
    ini.WriteString(
        Station::kSpeechSpelling,
        QString::fromUtf8(shared.speechLetters ? kLetters : Station::kSpeechSpelling.byDefault));
    ini.WriteString(Station::kSpeechVoice, shared.speechVoice);
    ini.WriteInteger(Station::kSpeechRate, shared.speechRate);
}

} // namespace

void SetTimingInterval(std::int32_t minutes) {
    rig::IdTiming timing = stationRig->Timing();
    timing.interval = std::chrono::minutes(minutes);
    stationRig->SetTiming(timing);
}

QString DefaultHost(rig::SourceKind kind) {
    return DefaultText(KeysOf(kind).host);
}

void RestoreStationOptions(const TIniFile& ini) {
    shared.markInterval = KnownMarkInterval(ini.ReadInteger(Station::kInterval));
    shared.morseWpm =
        std::clamp(ini.ReadInteger(Station::kMorseWpm), morse::kMinWpm, morse::kMaxWpm);
    shared.morseHz =
        std::clamp(ini.ReadInteger(Station::kMorseHz), morse::kMinToneHz, morse::kMaxToneHz);
    SetSoundOutput(ini.ReadString(Station::kOutput));
    RestoreRig(ini);
    RestoreTiming(ini);
    RestoreSpeech(ini);
}

void SaveStationOptions(TIniFile& ini) {
    ini.WriteInteger(Station::kInterval, shared.markInterval);
    ini.WriteInteger(Station::kMorseWpm, shared.morseWpm);
    ini.WriteInteger(Station::kMorseHz, shared.morseHz);
    ini.WriteString(Station::kOutput, GetSoundOutput());
    SaveRig(ini);
    SaveTiming(ini);
    SaveSpeech(ini);
}

speech::Voicing StationVoicing() {
    return {shared.speechLetters ? speech::Spelling::Letters : speech::Spelling::Phonetics,
            shared.speechVoice, shared.speechRate};
}
