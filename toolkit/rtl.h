#pragma once
// The few run-time library helpers the windows use.
#include <QString>

using UnicodeString = QString;

// What follows the last path separator.
UnicodeString ExtractFileName(const UnicodeString& path);
