#pragma once
// One run a settings file. The first start takes a lock beside the file and listens, under a
// name made from the file's path, for later starts; a later start asks it to come to the front
// and so learns that it is to end. A lock left by a killed run is taken over; a folder where no
// lock can be made (read-only) is run without one.
#include "toolkit/rtl.h"

#include <QLockFile>
#include <QObject>
#include <functional>
#include <memory>

class QLocalServer;

class TRunGuard : public QObject {
public:
    // `called` runs in the first run each time a later one starts.
    TRunGuard(const UnicodeString& settingsFile, std::function<void()> called);

    // True when this run has the file to itself; false when another run holds it and was asked
    // to come to the front.
    bool TakeFile();

private:
    bool CallHolder();
    void Listen();

    UnicodeString m_file;
    QString m_name;
    QLockFile m_lock;
    std::function<void()> m_called;
    QLocalServer* m_server = nullptr;
};
