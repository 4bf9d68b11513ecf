#pragma once
// What every window test starts from: a fresh current directory, so that no settings file is
// there until a test stores one, fresh shared timer state, and the two windows that live for
// a whole run, opened and closed as start-up and the end of a run do.
#include "alert_window/alert_window.h"
#include "app/window_set.h"
#include "main_window/main_window.h"

#include <QtTest>
#include <memory>

// A turn of the mouse wheel over a control, as the operator gives it.
inline void Wheel(QWidget* target) {
    QWheelEvent wheel(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), {}, {0, 120}, {}, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

// Whether a label shows all of its text as it is: markup would show narrower, or not at all.
inline bool ShowsWholeText(const QLabel* label) {
    return label->sizeHint().width() >= label->fontMetrics().horizontalAdvance(label->text());
}

class WindowsFixture {
public:
    WindowsFixture()
        : m_folder(std::make_unique<QTemporaryDir>()) {
        QDir::setCurrent(m_folder->path());
        timerState = SharedTimerState{};
    }
    ~WindowsFixture() { CloseMainWindows(); }
    WindowsFixture(const WindowsFixture&) = delete;
    WindowsFixture& operator=(const WindowsFixture&) = delete;

    void OpenMainWindows() {
        Form1 = TForm::Construct<TForm1>(nullptr);
        Alert = TForm::Construct<TAlert>(nullptr);
    }
    void CloseMainWindows() {
        delete Alert;
        delete Form1;
        Alert = nullptr;
        Form1 = nullptr;
    }

    QString Path(const QString& name) const { return m_folder->filePath(name); }
    QString Settings() const {
        QFile file(Path("Chimewell.ini"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    void Store(const QByteArray& settings) const {
        QFile file(Path("Chimewell.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(settings);
    }

private:
    std::unique_ptr<QTemporaryDir> m_folder;
};
