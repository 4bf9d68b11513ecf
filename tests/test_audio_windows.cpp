// The audio menu and the audio file picker on real widgets, with a stand-in answering for the
// operator in the open dialog: the modal openings that lead to them, the menu's choices, the
// picker's buttons in each state, and what reaches the main window and the settings file.
#include "app/toolkit/media_codec_manager.h"
#include "windows_fixture.h"

class TestAudioWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowsFixture> windows;
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
    QString StoredFile() const {
        return TIniFile(SettingsFilePath()).ReadString(SelectAudioForm::kSelectedFile, "none");
    }
    // Runs `whileOpen` on the modal window that the click shows, then closes that window.
    template <class Form>
    void RunModal(const std::function<void()>& click, const std::function<void(Form*)>& whileOpen) {
        QTimer::singleShot(0, Form1, [&] {
            auto* shown = dynamic_cast<Form*>(QApplication::activeModalWidget());
            QVERIFY(shown);
            whileOpen(shown);
            shown->close();
        });
        click();
    }

private slots:
    void initTestCase() { qputenv("PULSE_SERVER", "unix:/nonexistent/native"); }
    void cleanupTestCase() { TOpenDialog::SetChooser(nullptr); }
    void init() {
        windows = std::make_unique<WindowsFixture>();
        windows->OpenMainWindows();
        TOpenDialog::SetChooser([this](QWidget*, const UnicodeString& filter) {
            return filter == TMediaCodecManager::GetFilterString() ? answer : QStringList();
        });
        QVERIFY(MakeTone(Tone(), 0.2) && MakeTone(OtherTone(), 0.2));
        QFile noise(Noise());
        QVERIFY(noise.open(QIODevice::WriteOnly) && noise.write("not audio at all\n") > 0);
    }
    void cleanup() { windows.reset(); }

    // The Audio button's double-click opens the menu over the main window, Select File the
    // picker over the menu, which stays open; each is destroyed once closed, having saved its
    // keys in their order.
    void openingsAreModalToTheirOpener() {
        Form1->SetVisible(true);
        answer = {Tone()};
        RunModal<TForm5>([] { QTest::mouseDClick(Form1->AudioButton, Qt::LeftButton); },
                         [this](TForm5* menu) {
                             QCOMPARE(menu->parentWidget(), Form1);
                             RunModal<TForm4>(
                                 [menu] { QTest::mouseClick(menu->SelectFile, Qt::LeftButton); },
                                 [menu](TForm4* picker) {
                                     QCOMPARE(picker->parentWidget(), menu);
                                     QVERIFY(menu->GetVisible());
                                     QTest::mouseClick(picker->Button1, Qt::LeftButton);
                                 });
                             QVERIFY(!Form4 && menu->GetVisible());
                         });
        QVERIFY(!Form5);
        QCOMPARE(windows->Settings(),
                 QStringLiteral("[Select Audio Form]\nLeft=100\nTop=100\nWidth=450\nHeight=425\n"
                                "Selected File=%1\n\n[Audio Form]\nLeft=100\nTop=100\nWidth=240\n"
                                "Height=390\nfileExists=0\n\n[Main Form]\nAudio=1\n")
                     .arg(Tone()));
    }

    // The menu's label shows what the main window held before the reload from the file.
    void menuOpening_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("after");
        const QByteArray file = "[Select Audio Form]\nSelected File=/music/b.wav\n";
        const QString none = QStringLiteral("No File Selected");
        QTest::newRow("nothing stored") << QByteArray() << "/a.wav" << none << "/a.wav";
        QTest::newRow("saved selection") << "[Audio Form]\nfileExists=1\n" + file << "0"
                                         << "0"
                                         << "/music/b.wav";
        QTest::newRow("saved, no file key")
            << QByteArray("[Audio Form]\nfileExists=1\n") << "/a.wav"
            << "/a.wav"
            << "0";
        QTest::newRow("2 is no selection")
            << "[Audio Form]\nfileExists=2\n" + file << "/a.wav" << none << "/a.wav";
        QTest::newRow("unreadable")
            << "[Audio Form]\nfileExists=one\n" + file << "0" << none << "0";
    }
    void menuOpening() {
        QFETCH(QByteArray, stored);
        QFETCH(QString, before);
        QFETCH(QString, label);
        QFETCH(QString, after);
        windows->Store(stored);
        shared.selectedFile = before;
        QCOMPARE(windows->OpenMenu()->FileSelectedLabel->GetText(), label);
        QCOMPARE(shared.selectedFile, after);
    }

    // A file that the backend could not play after a mark started it is told in the menu, where
    // another is chosen, once.
    void failureAtTheLastMarkIsToldOnce() {
        Form1->MediaPlayer1->SetFileName(Noise());
        Form1->MediaPlayer1->Play();
        QTRY_VERIFY(!Form1->MediaPlayer1->GetMedia());
        QVERIFY2(windows->OpenMenu()->FileSelectedLabel->GetText().startsWith(
                     "noise.mp3 could not play at the last mark: "),
                 qPrintable(Form5->FileSelectedLabel->GetText()));
        delete Form5;
        QCOMPARE(windows->OpenMenu()->FileSelectedLabel->GetText(), "No File Selected");
    }

    void menuChoice_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("selectedFile");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("label");
        QTest::newRow("No Audio") << "No Audio"
                                  << "/a.wav" << 0 << "";
        QTest::newRow("System Tones") << "System Tones"
                                      << "0" << 1 << "";
        QTest::newRow("Play File") << "Play File"
                                   << "/a.wav" << 2 << "No File Selected";
        QTest::newRow("Play File, empty text") << "Play File"
                                               << "" << 2 << "No File Selected";
        QTest::newRow("Play File, none chosen")
            << "Play File"
            << "0" << -1 << "You must first select an audio file";
    }

    // Only the choice of a file shows the label; a refusal keeps the menu open, unstored.
    void menuChoice() {
        QFETCH(QString, button);
        QFETCH(QString, selectedFile);
        QFETCH(int, choice);
        QFETCH(QString, label);
        shared.selectedFile = selectedFile;
        shared.audioChoice = static_cast<AudioChoice>(5);
        TForm5* menu = windows->OpenMenu();
        menu->SetVisible(true);
        menu->FileSelectedLabel->setVisible(label.isEmpty());
        ClickButton(menu, button);
        QCOMPARE(static_cast<int>(shared.audioChoice), choice < 0 ? 5 : choice);
        QCOMPARE(menu->GetVisible(), choice < 0);
        QCOMPARE(menu->FileSelectedLabel->isHidden() ? QString()
                                                     : menu->FileSelectedLabel->GetText(),
                 label);
        QCOMPARE(shared.selectedFile, selectedFile);
        QCOMPARE(TIniFile(SettingsFilePath()).ReadInteger(MainForm::kAudio, -1), choice);
    }

    // A stored file is only shown, neither listed nor loaded.
    void pickerOpening() {
        windows->Store(
            QStringLiteral("[Select Audio Form]\nSelected File=%1\n").arg(Tone()).toUtf8());
        TForm4* picker = OpenPickerOverMenu();
        QCOMPARE(picker->Label1->GetText(), Tone());
        QVERIFY(picker->PlayListBox->Count() == 0 && !picker->MediaPlayer1->GetMedia());
    }

    void pickerSteps_data() {
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
        QTest::newRow("bad file") << QStringList{"choose", "bad"} << 0 << tone << 0;
    }

    // The list shows the name and holds the path; saving reaches the menu but not the file; a
    // file that is not audio is refused by name.
    void pickerSteps() {
        QFETCH(QStringList, steps);
        QFETCH(int, listed);
        QFETCH(QString, loaded);
        QFETCH(int, fileExists);
        QStringList reported;
        windows->application.OnException = [&](TObject*, const std::exception& e) {
            reported << QString::fromUtf8(e.what());
        };
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
        QCOMPARE(reported.size(), steps.count("bad"));
        for (const QString& report : reported)
            QVERIFY2(report.contains("\"" + Noise() + "\""), qPrintable(report));
    }

    void pickerClosing_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("handedOver");
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
    // the path stored before; the keys are written in their order.
    void pickerClosing() {
        QFETCH(QStringList, steps);
        QFETCH(bool, handedOver);
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
        QCOMPARE(shared.selectedFile, handedOver ? Tone() : QStringLiteral("0"));
        QCOMPARE(shared.audioChoice, handedOver ? AudioChoice::AudioFile : AudioChoice::SystemTone);
        QCOMPARE(StoredFile(), stored ? Tone() : QStringLiteral("/music/old.wav"));
        QCOMPARE(Form5->FileSelectedLabel->GetText(), menuLabel);
        QVERIFY(
            windows->Settings().startsWith("[Select Audio Form]\nSelected File=" + StoredFile() +
                                           "\nLeft=100\nTop=100\nWidth=450\nHeight=425\n"));
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
        windows->application.OnException = nullptr;
        TOpenDialog::SetChooser(nullptr);
        if (fileDialog)
            QTest::mouseClick(picker->Button1, Qt::LeftButton);
        else
            windows->application.ShowException(std::runtime_error("a file that is not audio"));
        QVERIFY(dialog);
        QVERIFY(shared.alertCloseRequest);
    }
};

QTEST_MAIN(TestAudioWindows)
#include "test_audio_windows.moc"
