#include "toolkit/rtl.h"

UnicodeString ExtractFileName(const UnicodeString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}
