#pragma once
// The place and size each window keeps under its own section of the settings file: read and
// applied one value at a time, as stored (the window keeps itself reachable on screen), and
// written back from the window's outer frame. A stored size of none or less reads as its
// default, the designed one.
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

#include <QSize>

class TForm;

void RestoreFormPlace(const TIniFile& ini, const FormPlaceKeys& keys, TForm& form);
// For a window whose size, when none is stored, is `defaultSize` instead of the keys' own.
void RestoreFormPlace(const TIniFile& ini, const FormPlaceKeys& keys, TForm& form,
                      QSize defaultSize);
void SaveFormPlace(TIniFile& ini, const FormPlaceKeys& keys, const TForm& form);
// One side of a stored size, or `byDefault` where none or less is stored.
std::int32_t ReadSize(const TIniFile& ini, const IntegerKey& key, std::int32_t byDefault);
std::int32_t ReadSize(const TIniFile& ini, const IntegerKey& key);
