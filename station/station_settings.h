#pragma once
// The station options in the settings file's "Station" section: read into the members the
// windows share and the sound output when the main window is made, written when the station
// options window closes. A file without the section (written by an older Chimewell) reads as
// the defaults; a speed or tone out of range as the nearest in range, a port out of range, an
// empty host or an unknown kind of source as the default. Reading switches the watch on the
// transmitter. A missing or unknown spelling reads as the phonetics, no voice as the default
// one, and a rate out of range as the nearest in range.
#include "rig/transmitter_watch.h"
#include "settings/ini_file.h"
#include "speech/speaker.h"

#include <QPointer>

void RestoreStationOptions(const TIniFile& ini);
// The minutes between marks are also the identification timer's interval.
void SetTimingInterval(std::int32_t minutes);
// What an empty host stands for: a kind's default; for WSJT-X, no group.
QString DefaultHost(rig::SourceKind kind);
void SaveStationOptions(TIniFile& ini);
// How the station options say the callsign.
speech::Voicing StationVoicing();

// The watch on the transmitter that the station options switch, keep and show: the main
// window's, which sets it here as it makes the watch; null once the watch is gone.
extern QPointer<rig::TransmitterWatch> stationRig;
