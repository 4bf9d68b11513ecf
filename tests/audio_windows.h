#pragma once
// The windows the audio tests run in: the main window and the alert window as at start-up,
// the audio menu opened over them and, when asked for, the picker over the menu.
#include "audio/audio_menu.h"
#include "audio/file_picker.h"
#include "windows_fixture.h"

// Clicks the window's button that reads `text`.
inline void ClickButton(QWidget* window, const QString& text) {
    for (TButton* button : window->findChildren<TButton*>())
        if (button->GetText() == text)
            return QTest::mouseClick(button, Qt::LeftButton);
    QFAIL(qPrintable("no button reads " + text));
}

class AudioWindows : public WindowsFixture {
public:
    AudioWindows() { OpenMainWindows(); }
    ~AudioWindows() {
        delete Form4;
        delete Form5;
        Form4 = nullptr;
        Form5 = nullptr;
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
};
