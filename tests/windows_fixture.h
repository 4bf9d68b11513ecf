#pragma once
// What every window test starts from: no sound server; a fresh current directory, so that no
// settings file is there until a test stores one; fresh shared timer state; an application
// whose handlers' errors fail the test (offscreen, the message box that shows them would wait
// forever); and the windows of a run, opened as start-up and the operator open them, closed at
// the end.
#include "alert_window/alert_window.h"
#include "audio/audio_menu.h"
#include "audio/file_picker.h"
#include "callsign_editor/callsign_editor.h"
#include "main_window/main_window.h"
#include "test_files.h"
#include "toolkit/application.h"
#include "window_set/window_set.h"

#include <QtTest>

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

// Clicks the window's button that reads `text`.
inline void ClickButton(QWidget* window, const QString& text) {
    for (TButton* button : window->findChildren<TButton*>())
        if (button->GetText() == text)
            return QTest::mouseClick(button, Qt::LeftButton);
    QFAIL(qPrintable("no button reads " + text));
}

class WindowsFixture {
public:
    WindowsFixture() {
        qputenv("PULSE_SERVER", "unix:/nonexistent/native"); // no sound server
        QDir::setCurrent(m_folder.path());
        timerState = SharedTimerState{};
        application.OnException = [](TObject*, const std::exception& e) { QFAIL(e.what()); };
    }
    ~WindowsFixture() {
        delete Form4;
        delete Form5;
        delete Form3;
        CloseMainWindows();
        Form3 = nullptr;
        Form4 = nullptr;
        Form5 = nullptr;
    }
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
    TForm5* OpenMenu() { return Form5 = TForm::Construct<TForm5>(Form1); }
    // Over the menu, as the operator opens it.
    TForm4* OpenPicker() { return Form4 = TForm::Construct<TForm4>(Form5 ? Form5 : OpenMenu()); }

    QString Path(const QString& name) const { return m_folder.filePath(name); }
    QString Settings() const { return QString::fromUtf8(Contents(Path("Chimewell.ini"))); }
    void Store(const QByteArray& settings) const {
        QVERIFY(::Store(Path("Chimewell.ini"), settings));
    }

    TApplication application;

private:
    QTemporaryDir m_folder;
};
