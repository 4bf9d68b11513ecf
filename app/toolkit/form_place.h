#pragma once
// The place and size each window keeps under its own section of the settings file: read and
// applied one value at a time, as stored (the window keeps itself reachable on screen), and
// written back from the window's outer frame.
#include "app/toolkit/rtl.h"
#include "settings/ini_file.h"

#include <cstdint>

class TForm;

struct TFormPlace {
    std::int32_t Left;
    std::int32_t Top;
    std::int32_t Width;
    std::int32_t Height;
};

void RestoreFormPlace(const TIniFile& ini, const UnicodeString& section, TForm& form,
                      const TFormPlace& defaults);
void SaveFormPlace(TIniFile& ini, const UnicodeString& section, const TForm& form);
