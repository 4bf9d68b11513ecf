#include "app/toolkit/rtl.h"

#include <QDir>
#include <QFile>

// A current directory that was removed has no path; the kernel still names it, with
// " (deleted)" appended, which tells the operator where a save was to go and why it failed.
// (Qt's empty path would put the settings at the root of the file system.)
UnicodeString GetCurrentDir() {
    const QString current = QDir::currentPath();
    return current.isEmpty() ? QFile::symLinkTarget(QStringLiteral("/proc/self/cwd")) : current;
}

UnicodeString ExtractFileName(const UnicodeString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}
