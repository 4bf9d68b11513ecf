#include "app/toolkit/rtl.h"

#include <QDir>

UnicodeString GetCurrentDir() {
    return QDir::currentPath();
}

UnicodeString ExtractFileName(const UnicodeString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}
