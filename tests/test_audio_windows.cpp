// The audio menu and the audio file picker on real widgets, with a stand-in answering for the
// operator in the open dialog: the menu's opening and choices, the picker's buttons in each
// state, and what reaches the main window and the settings file.
#include "toolkit/media_codec_manager.h"
#include "windows_fixture.h"

class TestAudioWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowsFixture> windows;
    QStringList answer;

    QString Tone() const { return windows->Path("call sign tone.wav"); }
    QString OtherTone() const { return windows->Path("Grüße <音> & co.wav"); }
    QString Noise() const { return windows->Path("noise.mp3"); }
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
    void cleanupTestCase() { TOpenDialog::SetChooser(nullptr); }
    void init() {
        windows = std::make_unique<WindowsFixture>();
        windows->OpenMainWindows();
        TOpenDialog::SetChooser([this](QWidget*, const UnicodeString& filter) {
            return filter == TMediaCodecManager::GetFilterString() ? answer : QStringList();
        });
        QVERIFY(MakeTone(Tone(), 0.2) && MakeTone(OtherTone(), 0.2));
        QVERIFY(Store(Noise(), "not audio at all\n"));
    }
    void cleanup() { windows.reset(); }

    // The menu's label shows what the main window held before the reload from the file.
    void menuOpening_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("after");
        // fileExists as stored, and whether a selected file is stored beside it.
        const auto row = [](const char* name, const char* fileExists, bool file, const char* before,
                            const char* label, const char* after) {
            QByteArray stored =
                fileExists ? "[Audio Form]\nfileExists=" + QByteArray(fileExists) : "";
            stored += file ? "\n[Select Audio Form]\nSelected File=/music/b.wav\n" : "\n";
            QTest::newRow(name) << stored << before << label << after;
        };
        row("nothing stored", nullptr, false, "/a.wav", "No File Selected", "/a.wav");
        row("saved selection", "1", true, "0", "0", "/music/b.wav");
        row("no file key, saved", "1", false, "/a.wav", "/a.wav", "0");
        row("2 is no selection", "2", true, "/a.wav", "No File Selected", "/a.wav");
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

    // A file that the player could not play after a mark started it is told in the menu, where
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
        const auto row = [](const char* name, const char* button, const char* selectedFile,
                            int choice, const char* label) {
            QTest::newRow(name) << QString(button) << QString(selectedFile) << choice << label;
        };
        row("No Audio", "No Audio", "/a.wav", 0, "");
        row("System Tones", "System Tones", "0", 1, "");
        row("Play File", "Play File", "/a.wav", 2, "No File Selected");
        row("Play File, none chosen", "Play File", "0", -1, "You must first select an audio file");
        row("Morse Callsign", "Morse Callsign", "/a.wav", 3, "");
        row("Spoken Callsign", "Spoken Callsign", "/a.wav", 4, "");
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
        if (choice >= 0) // closed, the menu saved its keys in their order
            QVERIFY(windows->Settings().startsWith(
                "[Audio Form]\nLeft=100\nTop=100\nWidth=240\nHeight=390\nfileExists="));
    }

    void picker_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("listed");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<int>("fileExists");
        const auto row = [](const char* name, const QStringList& steps, int listed,
                            const char* loaded, int fileExists) {
            QTest::newRow(name) << steps << listed << QString::fromUtf8(loaded) << fileExists;
        };
        const char* tone = "call sign tone.wav";
        row("empty: clear, play, save do nothing",
            {"Clear Selection", "Play Audio File", "Save File Selection"}, 0, "", 0);
        row("cancel", {"cancel"}, 0, "", 0);
        row("choose, save", {"choose", "Save File Selection"}, 1, tone, 1);
        row("choose another, save", {"choose", "other", "Save File Selection"}, 1,
            "Grüße <音> & co.wav", 1);
        row("clear", {"choose", "Clear Selection"}, 0, "", 0);
        row("cancel keeps the file", {"choose", "cancel"}, 0, tone, 0);
        row("orphaned save", {"choose", "cancel", "Save File Selection"}, 0, tone, 1);
        row("orphaned clear", {"choose", "cancel", "Clear Selection"}, 0, "", 0);
        row("bad file", {"choose", "bad"}, 0, tone, 0);
        row("close and return, loaded", {"choose", "Close and Return"}, 1, tone, 0);
        row("saved, cleared, close and return",
            {"choose", "Save File Selection", "Clear Selection", "Close and Return"}, 0, "", 1);
    }

    // The list shows the name and holds the path; saving reaches the menu but not the file; a
    // file that is not audio is refused, naming it. At the close (the close box
    // unless the steps closed it) only Close and Return hands a loaded file to the main window;
    // without a loaded file the main window keeps its "0" and its choice and no file is stored; the
    // keys are written in their order.
    void picker() {
        QFETCH(QStringList, steps);
        QFETCH(int, listed);
        QFETCH(QString, loaded);
        QFETCH(int, fileExists);
        qsizetype reported = 0; // each naming the file
        windows->application.OnException = [&](TObject*, const std::exception& e) {
            reported += QString::fromUtf8(e.what()).contains("\"" + Noise() + "\"");
        };
        TForm4* picker = windows->OpenPicker();
        picker->SetVisible(true);
        const QString closing = steps.last() == "Close and Return" ? steps.takeLast() : QString();
        for (const QString& step : steps)
            Do(picker, step);
        QCOMPARE(ExtractFileName(Loaded(picker)), loaded);
        QCOMPARE(picker->PlayListBox->Count(), listed);
        if (listed) {
            QCOMPARE(picker->PlayListBox->GetItem(0), loaded);
            QCOMPARE(picker->PlayListBox->GetObject(0)->GetFileName(), Loaded(picker));
        }
        QCOMPARE(Form5->fileExists, fileExists);
        const QString saved = steps.contains("other") ? OtherTone() : Tone();
        const QString label = fileExists ? saved : QStringLiteral("No file selected");
        QCOMPARE(picker->Label1->GetText(), label);
        QVERIFY(ShowsWholeText(picker->Label1));
        if (fileExists)
            QCOMPARE(Form5->FileSelectedLabel->GetText(), label);
        QCOMPARE(windows->Settings(), QString());
        QCOMPARE(reported, steps.count("bad"));

        const QString path = Loaded(picker);
        const bool handedOver = !closing.isEmpty() && !path.isEmpty();
        closing.isEmpty() ? (void)picker->Close() : Do(picker, closing);
        QVERIFY(!picker->GetVisible());
        QCOMPARE(shared.selectedFile, handedOver ? path : QStringLiteral("0"));
        QCOMPARE(shared.audioChoice, handedOver ? AudioChoice::AudioFile : AudioChoice::SystemTone);
        if (path.isEmpty())
            QCOMPARE(Form5->FileSelectedLabel->GetText(), "Audio File Not Selected");
        const QString file = path.isEmpty() ? QString() : "Selected File=" + path + "\n";
        QCOMPARE(windows->Settings(),
                 "[Select Audio Form]\nLeft=100\nTop=100\nWidth=450\nHeight=425\n" + file);
    }

    // An error message is modal to the picker alone: at a mark the alert still closes on a
    // click (the file dialog's case is the end-to-end audio path's).
    void errorMessageLeavesTheAlertClickable() {
        windows->OpenPicker();
        Form1->DisplayAlertButtonClick(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(Alert));
        QWidget* message = nullptr;
        QTimer::singleShot(0, Alert, [&] {
            message = QApplication::activeModalWidget();
            QTest::mouseClick(Alert->windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
            if (message)
                message->close();
        });
        windows->application.OnException = nullptr;
        windows->application.ShowException(std::runtime_error("a file that is not audio"));
        QVERIFY(message);
        QVERIFY(shared.alertCloseRequest);
    }
};

QTEST_MAIN(TestAudioWindows)
#include "test_audio_windows.moc"
