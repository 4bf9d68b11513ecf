#pragma once
// The windows the audio tests run in: the main window and the alert window as at start-up,
// the audio menu opened over them and, when asked for, the picker over the menu; all in a
// fresh current directory, so that each test starts without a settings file.
#include "alert_window/alert.h"
#include "app/window_set.h"
#include "audio/form4.h"
#include "audio/form5.h"
#include "main_window/form1.h"

#include <QtTest>
#include <memory>

// Clicks the window's button that reads `text`.
inline void ClickButton(QWidget* window, const QString& text) {
    for (TButton* button : window->findChildren<TButton*>())
        if (button->GetText() == text)
            return QTest::mouseClick(button, Qt::LeftButton);
    QFAIL(qPrintable("no button reads " + text));
}

class AudioWindows {
public:
    AudioWindows()
        : m_folder(std::make_unique<QTemporaryDir>()) {
        QDir::setCurrent(m_folder->path());
        timerState = SharedTimerState{};
        Form1 = TForm::Construct<TForm1>(nullptr);
        Alert = TForm::Construct<TAlert>(nullptr);
    }
    ~AudioWindows() {
        delete Form4;
        delete Form5;
        delete Alert;
        delete Form1;
        Form4 = nullptr;
        Form5 = nullptr;
        Alert = nullptr;
        Form1 = nullptr;
    }
    AudioWindows(const AudioWindows&) = delete;
    AudioWindows& operator=(const AudioWindows&) = delete;

    TForm5* OpenMenu() {
        Form5 = TForm::Construct<TForm5>(Form1);
        return Form5;
    }
    TForm4* OpenPicker() {
        Form4 = TForm::Construct<TForm4>(Form5);
        return Form4;
    }
    void ClosePicker() {
        Form4->Close();
        delete Form4;
        Form4 = nullptr;
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
