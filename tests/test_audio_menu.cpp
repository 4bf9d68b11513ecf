// The audio menu on real widgets: its saved place, the reload of the chosen file, the three
// choices and the refusal without a file, its keys, and the modal openings that lead to it
// and from it.
#include "app/toolkit/application.h"
#include "audio_windows.h"
#include "settings/ini_file.h"

class TestAudioMenu : public QObject {
    Q_OBJECT

    TApplication application;
    std::unique_ptr<AudioWindows> windows;

    // Runs `whileOpen` on the modal window that `open` shows, then closes it.
    template <class Form>
    Form* RunModal(const std::function<void()>& open, const std::function<void(Form*)>& whileOpen) {
        Form* shown = nullptr;
        QTimer::singleShot(0, Form1, [&] {
            shown = dynamic_cast<Form*>(QApplication::activeModalWidget());
            if (shown)
                whileOpen(shown);
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        open();
        return shown;
    }

private slots:
    void init() { windows = std::make_unique<AudioWindows>(); }
    void cleanup() { windows.reset(); }

    void opening_data() {
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

    // The label shows what the main window held before the reload.
    void opening() {
        QFETCH(QByteArray, stored);
        QFETCH(QString, before);
        QFETCH(QString, label);
        QFETCH(QString, after);
        windows->Store(stored);
        shared.selectedFile = before;
        TForm5* menu = windows->OpenMenu();
        QCOMPARE(QRect(menu->GetLeft(), menu->GetTop(), menu->GetWidth(), menu->GetHeight()),
                 QRect(100, 100, 240, 390));
        QCOMPARE(menu->windowTitle(), QStringLiteral(" Timer Chimewell!"));
        QCOMPARE(menu->FileSelectedLabel->GetText(), label);
        QCOMPARE(shared.selectedFile, after);
    }

    // A file that could not play at a mark is told here, where another is chosen, once.
    void failureAtTheLastMarkIsToldOnce() {
        Form1->MediaPlayer1->SetFileName(windows->Path("gone.wav"));
        Form1->ReportAudioFileFailure();
        QCOMPARE(windows->OpenMenu()->FileSelectedLabel->GetText(),
                 QStringLiteral("gone.wav could not play at the last mark: no such file"));
        delete Form5;
        QCOMPARE(windows->OpenMenu()->FileSelectedLabel->GetText(),
                 QStringLiteral("No File Selected"));
    }

    void choice_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("selectedFile");
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("label");
        const QString none = QStringLiteral("No File Selected");
        QTest::newRow("No Audio") << "No Audio"
                                  << "/a.wav" << 0 << true << none;
        QTest::newRow("System Tones") << "System Tones"
                                      << "0" << 1 << true << none;
        QTest::newRow("Play File") << "Play File"
                                   << "/a.wav" << 2 << true << none;
        QTest::newRow("Play File, empty text") << "Play File"
                                               << "" << 2 << true << none;
        QTest::newRow("Morse Callsign") << "Morse Callsign"
                                        << "/a.wav" << 3 << true << none;
        QTest::newRow("Play File, none chosen")
            << "Play File"
            << "0" << 5 << false << "You must first select an audio file";
    }

    // Only the choice of a file shows the label; a refusal keeps the menu open, unstored.
    void choice() {
        QFETCH(QString, button);
        QFETCH(QString, selectedFile);
        QFETCH(int, choice);
        QFETCH(bool, closes);
        QFETCH(QString, label);
        shared.selectedFile = selectedFile;
        shared.audioChoice = static_cast<AudioChoice>(5);
        TForm5* menu = windows->OpenMenu();
        menu->SetVisible(true);
        const bool labelShown = button == "Play File";
        menu->FileSelectedLabel->setVisible(!labelShown);
        ClickButton(menu, button);
        QCOMPARE(shared.audioChoice, static_cast<AudioChoice>(choice));
        QCOMPARE(menu->GetVisible(), !closes);
        QCOMPARE(!menu->FileSelectedLabel->isHidden(), labelShown);
        QCOMPARE(menu->FileSelectedLabel->GetText(), label);
        QCOMPARE(shared.selectedFile, selectedFile);
        const int stored = TIniFile(SettingsFilePath()).ReadInteger(MainForm::kAudio, -1);
        QCOMPARE(stored, closes ? choice : -1);
    }

    void closeWritesItsKeysInOrder() {
        TForm5* menu = windows->OpenMenu();
        menu->fileExists = 1;
        shared.audioChoice = AudioChoice::AudioFile;
        menu->Close();
        QCOMPARE(windows->Settings(),
                 QStringLiteral("[Audio Form]\nLeft=100\nTop=100\nWidth=240\nHeight=390\n"
                                "fileExists=1\n\n[Main Form]\nAudio=2\n"));
    }

    void audioButtonOpensTheMenuModally() {
        Form1->SetVisible(true);
        const auto open = [] { QTest::mouseDClick(Form1->AudioButton, Qt::LeftButton); };
        QVERIFY(
            RunModal<TForm5>(open, [](TForm5* menu) { QCOMPARE(menu->parentWidget(), Form1); }));
        QCOMPARE(shared.audioChoice, AudioChoice::SystemTone);
        QVERIFY(windows->Settings().contains("[Audio Form]"));
        QVERIFY(!Form5); // the handler destroyed it
    }

    // The picker opens over the menu, which stays open after the picker has closed.
    void selectFileOpensThePickerOverTheMenu() {
        TForm5* menu = windows->OpenMenu();
        menu->SetVisible(true);
        const auto open = [menu] { QTest::mouseClick(menu->SelectFile, Qt::LeftButton); };
        QVERIFY(RunModal<TForm4>(open, [menu](TForm4* picker) {
            QCOMPARE(picker->parentWidget(), menu);
            QVERIFY(menu->GetVisible());
        }));
        QVERIFY(!Form4);
        QVERIFY(menu->GetVisible());
        QCOMPARE(menu->FileSelectedLabel->GetText(), QStringLiteral("Audio File Not Selected"));
    }
};

QTEST_MAIN(TestAudioMenu)
#include "test_audio_menu.moc"
