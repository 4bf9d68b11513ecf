// The audio file picker on real widgets, with a stand-in answering for the operator in the
// open dialog: choosing, cancelling and failing to open a file, what each button does in
// each state, and what reaches the audio menu, the main window and the settings file.
#include "app/toolkit/application.h"
#include "app/toolkit/media_codec_manager.h"
#include "audio_windows.h"
#include "settings/ini_file.h"
#include "tone_wav.h"

class TestFilePicker : public QObject {
    Q_OBJECT

    TApplication application;
    std::unique_ptr<AudioWindows> windows;
    QStringList reported;
    QStringList answer;

    QString Tone() const { return windows->Path("call sign tone.wav"); }
    QString OtherTone() const { return windows->Path("Grüße <音> & co.wav"); }
    QString Noise() const { return windows->Path("noise.mp3"); }
    TForm4* OpenPickerOverMenu() {
        windows->OpenMenu();
        return windows->OpenPicker();
    }
    // The operator's part in one step: "choose", "other", "bad" or "cancel" in the dialog,
    // or the button of that name.
    void Do(TForm4* picker, const QString& step) {
        const QHash<QString, QStringList> answers{
            {"choose", {Tone()}}, {"other", {OtherTone()}}, {"bad", {Noise()}}, {"cancel", {}}};
        if (!answers.contains(step))
            return ClickButton(picker, step);
        answer = answers[step];
        QTest::mouseClick(picker->Button1, Qt::LeftButton);
    }
    QString Loaded(TForm4* picker) const {
        return picker->MediaPlayer1->GetMedia() ? picker->MediaPlayer1->GetFileName() : QString();
    }

private slots:
    void cleanup() { windows.reset(); }
    void cleanupTestCase() { TOpenDialog::SetChooser(nullptr); }

    void initTestCase() { qputenv("PULSE_SERVER", "unix:/nonexistent/native"); }

    void init() {
        application.OnException = [this](TObject*, const std::exception& e) {
            reported << QString::fromUtf8(e.what());
        };
        TOpenDialog::SetChooser([this](QWidget*, const UnicodeString& filter) {
            return filter == TMediaCodecManager::GetFilterString() ? answer : QStringList();
        });
        windows = std::make_unique<AudioWindows>();
        reported.clear();
        QVERIFY(WriteToneWav(Tone(), 0.2));
        QVERIFY(WriteToneWav(OtherTone(), 0.2));
        QFile noise(Noise());
        QVERIFY(noise.open(QIODevice::WriteOnly));
        noise.write("not audio at all\n");
    }

    void opening_data() {
        QTest::addColumn<bool>("stored");
        QTest::newRow("first") << false;
        QTest::newRow("stored file") << true;
    }

    // A stored file is only shown, neither listed nor loaded.
    void opening() {
        QFETCH(bool, stored);
        if (stored)
            windows->Store(
                QStringLiteral("[Select Audio Form]\nSelected File=%1\n").arg(Tone()).toUtf8());
        TForm4* picker = OpenPickerOverMenu();
        QCOMPARE(
            QRect(picker->GetLeft(), picker->GetTop(), picker->GetWidth(), picker->GetHeight()),
            QRect(100, 100, 450, 425));
        QCOMPARE(picker->windowTitle(), QStringLiteral(" Timer Chimewell!"));
        QCOMPARE(picker->Label1->GetText(), stored ? Tone() : QStringLiteral("No file selected"));
        QCOMPARE(picker->PlayListBox->Count(), 0);
        QVERIFY(!picker->MediaPlayer1->GetMedia());
    }

    void steps_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("listed");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<int>("fileExists");
        const QString tone = QStringLiteral("call sign tone.wav");
        const QString none;
        QTest::newRow("empty: clear, play, save do nothing")
            << QStringList{"Clear Selection", "Play Audio File", "Save File Selection"} << 0 << none
            << 0;
        QTest::newRow("cancel") << QStringList{"cancel"} << 0 << none << 0;
        QTest::newRow("choose, save")
            << QStringList{"choose", "Save File Selection"} << 1 << tone << 1;
        QTest::newRow("choose another, save")
            << QStringList{"choose", "other", "Save File Selection"} << 1 << "Grüße <音> & co.wav"
            << 1;
        QTest::newRow("clear") << QStringList{"choose", "Clear Selection"} << 0 << none << 0;
        QTest::newRow("cancel keeps the file") << QStringList{"choose", "cancel"} << 0 << tone << 0;
        QTest::newRow("orphaned save")
            << QStringList{"choose", "cancel", "Save File Selection"} << 0 << tone << 1;
        QTest::newRow("orphaned clear")
            << QStringList{"choose", "cancel", "Clear Selection"} << 0 << none << 0;
        QTest::newRow("bad file") << QStringList{"bad"} << 0 << none << 0;
        QTest::newRow("bad file keeps the file") << QStringList{"choose", "bad"} << 0 << tone << 0;
    }

    // The list shows the name and holds the path; saving reaches the menu but not the file.
    void steps() {
        QFETCH(QStringList, steps);
        QFETCH(int, listed);
        QFETCH(QString, loaded);
        QFETCH(int, fileExists);
        const bool refused = steps.contains("bad");
        TForm4* picker = OpenPickerOverMenu();
        for (const QString& step : steps)
            Do(picker, step);
        QCOMPARE(ExtractFileName(Loaded(picker)), loaded);
        QCOMPARE(picker->PlayListBox->Count(), listed);
        if (listed) {
            QCOMPARE(picker->PlayListBox->GetItem(0), loaded);
            QCOMPARE(picker->PlayListBox->GetObject(0)->GetFileName(), Loaded(picker));
        }
        QCOMPARE(Form5->fileExists, fileExists);
        const QString label = fileExists ? Loaded(picker) : QStringLiteral("No file selected");
        QCOMPARE(picker->Label1->GetText(), label);
        QVERIFY(ShowsWholeText(picker->Label1));
        if (fileExists)
            QCOMPARE(Form5->FileSelectedLabel->GetText(), label);
        QCOMPARE(windows->Settings(), QString());
        QCOMPARE(reported.size(), refused ? 1 : 0);
        if (refused)
            QVERIFY2(reported.first().contains("\"" + Noise() + "\""),
                     qPrintable(reported.first()));
    }

    void closing_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("handedToMainWindow");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("menuLabel");
        const QString notSelected = QStringLiteral("Audio File Not Selected");
        const QString unchanged = QStringLiteral("No File Selected");
        QTest::newRow("close box, loaded") << QStringList{"choose"} << false << true << unchanged;
        QTest::newRow("close and return, loaded")
            << QStringList{"choose", "Close and Return"} << true << true << unchanged;
        QTest::newRow("close box, nothing loaded")
            << QStringList{} << false << false << notSelected;
        QTest::newRow("close and return, nothing loaded")
            << QStringList{"Close and Return"} << false << false << notSelected;
        QTest::newRow("saved, cleared, close and return")
            << QStringList{"choose", "Save File Selection", "Clear Selection", "Close and Return"}
            << false << false << notSelected;
    }

    // Without a loaded file the main window keeps its "0" and its choice, and the file keeps
    // the path stored before.
    void closing() {
        QFETCH(QStringList, steps);
        QFETCH(bool, handedToMainWindow);
        QFETCH(bool, stored);
        QFETCH(QString, menuLabel);
        windows->Store("[Select Audio Form]\nSelected File=/music/old.wav\n");
        TForm4* picker = OpenPickerOverMenu();
        picker->SetVisible(true);
        for (const QString& step : steps)
            Do(picker, step);
        if (picker->GetVisible())
            picker->Close();
        QVERIFY(!picker->GetVisible());
        QCOMPARE(shared.selectedFile, handedToMainWindow ? Tone() : QStringLiteral("0"));
        QCOMPARE(shared.audioChoice,
                 handedToMainWindow ? AudioChoice::AudioFile : AudioChoice::SystemTone);
        const QString file =
            TIniFile(SettingsFilePath()).ReadString(SelectAudioForm::kSelectedFile, QString());
        QCOMPARE(file, stored ? Tone() : QStringLiteral("/music/old.wav"));
        QCOMPARE(Form5->FileSelectedLabel->GetText(), menuLabel);
    }

    void dialogsLeaveTheAlertClickable_data() {
        QTest::addColumn<bool>("fileDialog");
        QTest::newRow("file dialog") << true;
        QTest::newRow("error message") << false;
    }

    // Each is modal to the picker alone: at a mark the alert still closes on a click.
    void dialogsLeaveTheAlertClickable() {
        QFETCH(bool, fileDialog);
        TForm4* picker = OpenPickerOverMenu();
        Form1->DisplayAlertButtonClick(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(Alert));
        QWidget* dialog = nullptr;
        QTimer::singleShot(0, Alert, [&] {
            dialog = QApplication::activeModalWidget();
            QTest::mouseClick(Alert->windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
            if (dialog)
                dialog->close();
        });
        application.OnException = nullptr;
        TOpenDialog::SetChooser(nullptr);
        if (fileDialog)
            QTest::mouseClick(picker->Button1, Qt::LeftButton);
        else
            application.ShowException(std::runtime_error("a file that is not audio"));
        QVERIFY(dialog);
        QVERIFY(shared.alertCloseRequest);
    }

    void closeWritesItsKeysInOrder() {
        TForm4* picker = OpenPickerOverMenu();
        Do(picker, "choose");
        picker->Close();
        QCOMPARE(windows->Settings(),
                 QStringLiteral("[Select Audio Form]\nLeft=100\nTop=100\nWidth=450\nHeight=425\n"
                                "Selected File=%1\n")
                     .arg(Tone()));
    }
};

QTEST_MAIN(TestFilePicker)
#include "test_file_picker.moc"
