// The main window's controls, its tick wiring and its saved state, on real widgets.
#include "app/toolkit/application.h"
#include "audio/audio_menu.h"
#include "audio/file_picker.h"
#include "callsign_editor/callsign_editor.h"
#include "windows_fixture.h"

#include <limits>

class TestMainWindow : public QObject {
    Q_OBJECT

    TApplication application;
    QStringList reported;
    std::unique_ptr<WindowsFixture> fixture;

    void OpenWindows() { fixture->OpenMainWindows(); }
    void CloseWindows() { fixture->CloseMainWindows(); }

    TForm* ShowStored(const QString& window) {
        TForm* form = Form1;
        if (window == "alert")
            form = Alert;
        else if (window == "CallSign Form")
            form = TForm::Construct<TForm3>(Form1);
        else if (window == "Audio Form")
            form = TForm::Construct<TForm5>(Form1);
        else if (window == "Select Audio Form")
            form = TForm::Construct<TForm4>(Form1);
        form->SetVisible(true);
        return form;
    }

private slots:
    void initTestCase() {
        application.OnException = [this](TObject*, const std::exception& e) {
            reported << QString::fromUtf8(e.what());
        };
    }
    void init() {
        reported.clear();
        fixture = std::make_unique<WindowsFixture>();
    }
    void cleanup() { fixture.reset(); }

    // A first run's defaults, as the close writes them.
    void closeWritesTheNineteenKeysInOrder() {
        OpenWindows();
        const int width = Form1->GetWidth();
        const int height = Form1->GetHeight();
        Form1->Close();
        QCOMPARE(shared.selectedFile, QStringLiteral("0"));
        const QString expected = QStringLiteral(
            "[Main Form]\nLeft=50\nTop=50\nWidth=%1\nHeight=%2\nAudio=1\n"
            "CS_FontColor=-16776961\nAMPM=0\nCallSign=Callsign\nActive_Indicator=Active\nGMT=\n"
            "Mode Indicator=Auto\nStart=1\nMode=1\nlocalTimeZone=1\nform2Left=100\n"
            "form2Top=100\nform2Width=600\nform2Height=500\nform2Color=16776960\n");
        QCOMPARE(fixture->Settings(), expected.arg(width).arg(height));
    }

    void storedValuesAreRestoredAsStored() {
        fixture->Store("[Main Form]\r\nLeft=70\r\nTop=80\r\nAudio=-1\r\nAMPM=5\r\n"
                       "CallSign=W1AW\r\nCS_FontColor=-65536\r\nActive_Indicator=Active\r\n"
                       "GMT=GMT\r\nMode Indicator=<b>Auto\r\nStart=0\r\nMode=0\r\n"
                       "localTimeZone=0\r\nform2Left=300\r\nform2Color=-256\r\n"
                       "[Select Audio Form]\r\nSelected File=/tmp/tone.wav\r\n");
        OpenWindows();
        QCOMPARE(QPoint(Form1->GetLeft(), Form1->GetTop()), QPoint(70, 80));
        QCOMPARE(shared.audioChoice, AudioChoice::SystemTone); // no known choice
        QCOMPARE(timerState.clockFormat, 5);
        QCOMPARE(Form1->CallSign->GetText(), QStringLiteral("W1AW"));
        QCOMPARE(Form1->CallSign->GetTextSettings()->GetFontColor(), claRed);
        // The indicator texts follow the state, whatever their own keys say.
        QCOMPARE(Form1->Active_Indicator->GetText(), QStringLiteral("Stopped"));
        QCOMPARE(Form1->ModeButton->GetText(), QStringLiteral("Manual"));
        QVERIFY(!timerState.running && !timerState.autoMode && !timerState.localTimeZone);
        QCOMPARE(Form1->GMTLabel->GetText(), QStringLiteral("GMT"));
        QCOMPARE(shared.selectedFile, QStringLiteral("/tmp/tone.wav"));
        QCOMPARE(shared.alertLeft, 300);
        QCOMPARE(shared.alertColor, std::int64_t(-256));
    }

    void unreadableValuesTakeTheirDefaults() {
        fixture->Store("\xEF\xBB\xBF[Main Form]\nAudio=abc\nAMPM=\nStart=abc\n"
                       "Width=99999999999\nGMT=\nform2Top=1.5\n\x01\xFF garbage\n");
        OpenWindows();
        QCOMPARE(shared.audioChoice, AudioChoice::SystemTone);
        QCOMPARE(timerState.clockFormat, 0);
        QVERIFY(timerState.running);
        QCOMPARE(Form1->GMTLabel->GetText(), QString());
        QCOMPARE(shared.alertTop, 100);
    }

    void everythingComesBackAfterAClose() {
        OpenWindows();
        Form1->StopButtonClick(nullptr);
        Form1->ModeButtonClick(nullptr);
        Form1->GMTButtonDblClick(nullptr);
        Form1->CallSign->SetText(QStringLiteral("VE3ZZZ/P"));
        shared.alertWidth = 420;
        shared.alertColor = 0xFF123456;
        Form1->Close();
        CloseWindows();
        timerState = SharedTimerState{};
        OpenWindows();
        QCOMPARE(Form1->Active_Indicator->GetText(), QStringLiteral("Stopped"));
        QCOMPARE(Form1->ModeButton->GetText(), QStringLiteral("Manual"));
        QCOMPARE(Form1->GMTLabel->GetText(), QStringLiteral("GMT"));
        QCOMPARE(Form1->CallSign->GetText(), QStringLiteral("VE3ZZZ/P"));
        QVERIFY(!timerState.running && !timerState.autoMode && !timerState.localTimeZone);
        QCOMPARE(timerState.clockFormat, 1);
        QCOMPARE(shared.alertWidth, 420);
        QCOMPARE(shared.alertColor, std::int64_t(std::int32_t(0xFF123456)));
    }

    void startStopAndModeSetStateAndTexts() {
        OpenWindows();
        QTest::mouseClick(Form1->StopButton, Qt::LeftButton);
        QVERIFY(!timerState.running);
        QCOMPARE(Form1->Active_Indicator->GetText(), QStringLiteral("Stopped"));
        QTest::mouseClick(Form1->StartButton, Qt::LeftButton);
        QVERIFY(timerState.running);
        QCOMPARE(Form1->Active_Indicator->GetText(), QStringLiteral("Active"));
        QTest::mouseClick(Form1->ModeButton, Qt::LeftButton);
        QVERIFY(!timerState.autoMode);
        QCOMPARE(Form1->ModeButton->GetText(), QStringLiteral("Manual"));
        QTest::mouseClick(Form1->ModeButton, Qt::LeftButton);
        QVERIFY(timerState.autoMode);
        QCOMPARE(Form1->ModeButton->GetText(), QStringLiteral("Auto"));
    }

    void displayRaisesTheAlertOnlyWhenHidden() {
        OpenWindows();
        QTest::mouseClick(Form1->DisplayAlertButton, Qt::LeftButton);
        QVERIFY(Alert->GetVisible());
        QVERIFY(timerState.alertShowing && timerState.alertFromButton);
        timerState.alertFromButton = false; // as if the timer had raised it
        QTest::mouseClick(Form1->DisplayAlertButton, Qt::LeftButton);
        QVERIFY(!timerState.alertFromButton);
        Alert->SetWindowState(TWindowState::wsMinimized);
        QTest::mouseClick(Form1->DisplayAlertButton, Qt::LeftButton);
        QCOMPARE(Alert->GetWindowState(), TWindowState::wsNormal);
    }

    void storedPlacesAreShownOnTheScreen_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("value");
        for (const char* window :
             {"Main Form", "alert", "CallSign Form", "Audio Form", "Select Audio Form"}) {
            for (const char* value : {"2147483647", "-2147483648", "100000", "0", "-5"})
                QTest::addRow("%s %s", window, value) << window << value;
        }
    }

    // However large, far or small the stored place, the window is shown on the screen, no
    // larger than it and large enough to use, and reads back (so saves) as shown.
    void storedPlacesAreShownOnTheScreen() {
        QFETCH(QString, window);
        QFETCH(QString, value);
        const bool alert = window == "alert";
        QString stored = QStringLiteral("[%1]\n").arg(alert ? "Main Form" : window);
        for (const char* key : {"Left", "Top", "Width", "Height"})
            stored += QStringLiteral("%1%2=%3\n").arg(alert ? "form2" : "", key, value);
        fixture->Store(stored.toUtf8());
        OpenWindows();
        TForm* shown = ShowStored(window);
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        const QRect frame(shown->GetLeft(), shown->GetTop(), shown->GetWidth(), shown->GetHeight());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.contains(frame.center()));
        QVERIFY(frame.width() <= screen.width() && frame.height() <= screen.height());
        QVERIFY(frame.width() >= 100 && frame.height() >= 100);
    }

    void clockDoubleClickSteps_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("steps");
        QTest::newRow("designed cycle") << 0 << QList<int>{1, 2, 3, 0};
        QTest::newRow("stored 7 never wraps") << 7 << QList<int>{8, 9, 10};
        QTest::newRow("stored -2 joins the cycle") << -2 << QList<int>{-1, 0, 1, 2, 3, 0};
        QTest::newRow("top of the range wraps")
            << std::numeric_limits<int>::max() << QList<int>{std::numeric_limits<int>::min()};
    }

    void clockDoubleClickSteps() {
        QFETCH(int, start);
        QFETCH(QList<int>, steps);
        OpenWindows();
        timerState.clockFormat = start;
        for (int expected : steps) {
            const bool wasLocal = timerState.localTimeZone;
            QTest::mouseDClick(Form1->GMTButton, Qt::LeftButton);
            QCOMPARE(timerState.clockFormat, expected);
            QCOMPARE(timerState.localTimeZone, !wasLocal);
            QCOMPARE(Form1->GMTLabel->GetText(), wasLocal ? QStringLiteral("GMT") : QString());
        }
    }

    void wheelShowsAndHidesTheColourPanel() {
        OpenWindows();
        Wheel(Form1->EditCallSignButton);
        QVERIFY(!Form1->ColorPanel1->isHidden());
        Wheel(Form1->EditCallSignButton);
        QVERIFY(!Form1->ColorPanel1->isHidden());
        Wheel(Form1->ColorPanel1);
        QVERIFY(Form1->ColorPanel1->isHidden());
    }

    void colourPanelRecoloursTheCallsignAsItMoves() {
        OpenWindows();
        Form1->ColorPanel1->setVisible(true);
        QTest::mousePress(Form1->ColorPanel1, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(Form1->CallSign->GetTextSettings()->GetFontColor() != claBlue);
        QTest::mouseRelease(Form1->ColorPanel1, Qt::LeftButton, {}, QPoint(5, 5));
    }

    void tickShowsClockDateAndAudioStatus() {
        OpenWindows();
        Form1->MilliTimerTimer(nullptr);
        QCOMPARE(Form1->MilliTimer->GetInterval(), 100);
        QVERIFY(Form1->LocalTime->GetText().contains(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d")));
        QVERIFY(Form1->DateLabel->GetText().endsWith(' '));
        QCOMPARE(Form1->Label2->GetText(), QStringLiteral("System Tone Selected"));
    }

    void tickCarriesOutTheAlertsCloseRequest() {
        OpenWindows();
        Form1->DisplayAlertButtonClick(nullptr);
        QTest::mouseClick(Alert->CloseButton, Qt::LeftButton);
        QVERIFY(shared.alertCloseRequest);
        Form1->MilliTimerTimer(nullptr);
        QVERIFY(!Alert->GetVisible());
        QVERIFY(!timerState.alertShowing && !timerState.alertFromButton);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
