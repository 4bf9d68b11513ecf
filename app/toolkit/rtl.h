#pragma once
// The few run-time library helpers the windows use.
#include <QString>

using UnicodeString = QString;

// The process's current directory at the moment of the call.
UnicodeString GetCurrentDir();
// What follows the last path separator.
UnicodeString ExtractFileName(const UnicodeString& path);
