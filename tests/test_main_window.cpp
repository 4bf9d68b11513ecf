// The main window and the alert on real widgets: the saved state, the controls, the colour
// pickers, the alert's close and Display, and the tick's wiring.
#include "windows_fixture.h"

#include <limits>

namespace {

// What the main window shows and holds that the settings file keeps, on one line.
QString Restored() {
    const auto n = [](auto value, int base = 10) { return QString::number(value, base); };
    return (QStringList() << n(Form1->GetLeft()) << n(Form1->GetTop())
                          << n(static_cast<int>(shared.audioChoice)) << n(timerState.clockFormat)
                          << Form1->CallSign->GetText()
                          << n(Form1->CallSign->GetTextSettings()->GetFontColor(), 16)
                          << Form1->Active_Indicator->GetText() << Form1->ModeButton->GetText()
                          << n(timerState.localTimeZone) << Form1->GMTLabel->GetText()
                          << shared.selectedFile << n(shared.alertTop) << n(shared.alertColor))
        .join('|');
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowsFixture> windows;

private slots:
    void init() { windows = std::make_unique<WindowsFixture>(); }
    void cleanup() { windows.reset(); }

    // The indicator and the mode button name the state, whatever their own keys say; a value
    // that cannot be read, or an audio choice that is none, takes its default; any number but
    // 0 is true.
    void restoresWhatWasStored_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("restored");
        QTest::newRow("Windows file")
            << QByteArray("[Main Form]\r\nLeft=70\r\nTop=80\r\nAudio=0\r\nAMPM=5\r\n"
                          "CallSign=W1AW\r\nCS_FontColor=-65536\r\nActive_Indicator=Active\r\n"
                          "GMT=GMT\r\nMode Indicator=<b>Auto\r\nStart=0\r\nMode=0\r\n"
                          "localTimeZone=0\r\nform2Top=300\r\nform2Color=-256\r\n"
                          "[Select Audio Form]\r\nSelected File=/tmp/tone.wav\r\n")
            << "70|80|0|5|W1AW|ffff0000|Stopped|Manual|0|GMT|/tmp/tone.wav|300|-256";
        QTest::newRow("unreadable values, no such audio choice, 7 is true")
            << QByteArray("\xEF\xBB\xBF[Main Form]\nAudio=-1\nTop=\nStart=abc\nLeft=1.5\nMode=7\n"
                          "form2Top=99999999999\n\x01\xFF garbage\n")
            << "50|50|1|0|Callsign|ff0000ff|Active|Auto|1||0|100|16776960";
    }
    void restoresWhatWasStored() {
        QFETCH(QByteArray, stored);
        QFETCH(QString, restored);
        windows->Store(stored);
        windows->OpenMainWindows();
        QCOMPARE(Restored(), restored);
    }

    // What the operator changed shows at once and comes back after a close.
    void controlsShowTheirStateAndItComesBack() {
        windows->OpenMainWindows();
        QTest::mouseClick(Form1->StopButton, Qt::LeftButton);
        QTest::mouseClick(Form1->ModeButton, Qt::LeftButton);
        QTest::mouseDClick(Form1->GMTButton, Qt::LeftButton);
        Form1->CallSign->SetText(QStringLiteral("VE3ZZZ/P"));
        shared.alertTop = 420;
        shared.alertColor = 0xFF123456;
        const QString changed = "50|50|1|1|VE3ZZZ/P|ff0000ff|Stopped|Manual|0|GMT|0|420|4279383126";
        QCOMPARE(Restored(), changed);
        Form1->Close();
        QCOMPARE(windows->Settings(), // every key, in the order files have always had
                 QStringLiteral("[Main Form]\nLeft=50\nTop=50\nWidth=%1\nHeight=%2\nAudio=1\n"
                                "CS_FontColor=-16776961\nAMPM=1\nCallSign=VE3ZZZ/P\n"
                                "Active_Indicator=Stopped\nGMT=GMT\nMode Indicator=Manual\n"
                                "Start=0\nMode=0\nlocalTimeZone=0\nform2Left=100\nform2Top=420\n"
                                "form2Width=600\nform2Height=500\nform2Color=-15584170\n")
                     .arg(Form1->GetWidth())
                     .arg(Form1->GetHeight()));
        windows->CloseMainWindows();
        timerState = SharedTimerState{};
        windows->OpenMainWindows();
        QCOMPARE(Restored(), QString(changed).replace("4279383126", "-15584170"));
        QTest::mouseClick(Form1->StartButton, Qt::LeftButton);
        QTest::mouseClick(Form1->ModeButton, Qt::LeftButton);
        QVERIFY(timerState.running && timerState.autoMode);
        QCOMPARE(Form1->Active_Indicator->GetText() + Form1->ModeButton->GetText(), "ActiveAuto");
    }

    void storedPlacesAreShownOnTheScreen_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QSize>("designed");
        const QList<std::pair<const char*, QSize>> designs{
            {"Main Form", {375, 565}}, {"alert", {600, 500}}, {"CallSign Form", {370, 330}}};
        for (const auto& [window, designed] : designs) {
            for (const char* value : {"2147483647", "-2147483648", "100000", "0", "-5", "5"})
                QTest::addRow("%s %s", window, value) << window << value << designed;
        }
    }

    // However large, far or small the stored place, the window is shown on the screen, no
    // larger than it, and reads back (so saves) as shown. A size of none or less is the
    // designed one; a tiny one is raised until no text of the window is cut at its edges.
    // Every window is placed by the same code: one that can be resized, the alert with its own
    // keys, and one of fixed size.
    void storedPlacesAreShownOnTheScreen() {
        QFETCH(QString, window);
        QFETCH(QString, value);
        QFETCH(QSize, designed);
        const bool alert = window == "alert";
        QString stored = QStringLiteral("[%1]\n").arg(alert ? "Main Form" : window);
        for (const char* key : {"Left", "Top", "Width", "Height"})
            stored += QStringLiteral("%1%2=%3\n").arg(alert ? "form2" : "", key, value);
        windows->Store(stored.toUtf8());
        windows->OpenMainWindows();
        TForm* shown = window == "Main Form" ? static_cast<TForm*>(Form1) : Alert;
        if (window == "CallSign Form")
            shown = TForm::Construct<TForm3>(Form1);
        shown->SetVisible(true);
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        const QRect frame(shown->GetLeft(), shown->GetTop(), shown->GetWidth(), shown->GetHeight());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.contains(frame.center()));
        QVERIFY(frame.width() <= screen.width() && frame.height() <= screen.height());
        if (window == "Main Form") // the design is of the client area there
            designed = designed.grownBy(shown->windowHandle()->frameMargins());
        if (value.toInt() <= 0)
            QCOMPARE(frame.size(), designed);
        for (const TLabel* label : shown->findChildren<TLabel*>())
            QTRY_VERIFY2(shown->rect().contains(label->geometry()), qPrintable(label->text()));
    }

    void clockDoubleClickSteps_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("steps");
        QTest::newRow("stored 7 never wraps") << 7 << QList<int>{8, 9, 10};
        QTest::newRow("stored -2 joins the designed cycle") << -2 << QList<int>{-1, 0, 1, 2, 3, 0};
        QTest::newRow("top of the range wraps")
            << std::numeric_limits<int>::max() << QList<int>{std::numeric_limits<int>::min()};
    }
    void clockDoubleClickSteps() {
        QFETCH(int, start);
        QFETCH(QList<int>, steps);
        windows->OpenMainWindows();
        timerState.clockFormat = start;
        for (int expected : steps) {
            const bool wasLocal = timerState.localTimeZone;
            QTest::mouseDClick(Form1->GMTButton, Qt::LeftButton);
            QCOMPARE(timerState.clockFormat, expected);
            QCOMPARE(Form1->GMTLabel->GetText(), wasLocal ? QStringLiteral("GMT") : QString());
        }
    }

    // The wheel over the callsign or the alert shows its picker, the wheel over the picker
    // hides it; the callsign takes each colour as the operator drags, the alert only the one
    // let go on.
    void colourPickers_data() {
        QTest::addColumn<bool>("alert");
        QTest::newRow("callsign") << false;
        QTest::newRow("alert") << true;
    }
    void colourPickers() {
        QFETCH(bool, alert);
        windows->OpenMainWindows();
        TColorPanel* panel = alert ? Alert->ColorPanel1 : Form1->ColorPanel1;
        QWidget* area =
            alert ? static_cast<QWidget*>(Alert->CloseButton) : Form1->EditCallSignButton;
        const auto colour = [alert] {
            return alert ? Alert->CloseButton->GetColor()
                         : Form1->CallSign->GetTextSettings()->GetFontColor();
        };
        Wheel(area);
        Wheel(area);
        QVERIFY(!panel->isHidden());
        const TAlphaColor before = colour();
        QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(panel, QPoint(60, 40));
        QCOMPARE(colour(), alert ? before : panel->GetColor());
        QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(60, 40));
        QVERIFY(panel->GetColor() != before);
        QCOMPARE(colour(), panel->GetColor());
        Wheel(panel);
        QVERIFY(panel->isHidden());
    }

    // A click on the alert (its button or a text) or the title bar's close asks for the close,
    // which the next tick carries out; the flags follow, or every later mark would be silent
    // in Manual mode. A click on a text puts the colour picker away; one in the picker is the
    // picker's own. Display then raises the alert, or brings back one that is up but minimised,
    // leaving it the timer's.
    void alertClose_data() {
        QTest::addColumn<QString>("how");
        for (const char* how : {"button", "title bar", "text", "picker"})
            QTest::newRow(how) << QString(how);
    }
    void alertClose() {
        QFETCH(QString, how);
        windows->OpenMainWindows();
        timerState.autoMode = false;
        Form1->DisplayAlertButtonClick(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(Alert));
        Alert->ColorPanel1->setVisible(how == "text" || how == "picker");
        const QPoint text = Alert->Label1->geometry().topLeft() + QPoint(5, 30);
        if (how == "title bar")
            Alert->Close();
        else if (how == "button")
            QTest::mouseClick(Alert->CloseButton, Qt::LeftButton);
        else
            QTest::mouseClick(Alert->windowHandle(), Qt::LeftButton, {},
                              how == "text" ? text : Alert->ColorPanel1->geometry().center());
        const bool closes = how != "picker";
        // A click on the window lets events run, and with them maybe a tick that carries it out.
        QCOMPARE(shared.alertCloseRequest || !timerState.alertShowing, closes);
        QCOMPARE(Alert->ColorPanel1->isHidden(), how != "picker");
        Form1->MilliTimerTimer(nullptr);
        QCOMPARE(Alert->GetVisible() || timerState.alertShowing || timerState.alertFromButton,
                 !closes);
        QCOMPARE(Form1->MilliTimer->GetInterval(), 100);
        QVERIFY(Form1->LocalTime->GetText().contains(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d")));
        QCOMPARE(Form1->Label2->GetText(), QStringLiteral("System Tone Selected"));
        timerState.alertFromButton = false; // as if the timer had raised an alert still up
        Alert->SetWindowState(TWindowState::wsMinimized);
        QTest::mouseClick(Form1->DisplayAlertButton, Qt::LeftButton);
        QVERIFY(Alert->GetVisible());
        QCOMPARE(timerState.alertFromButton, closes);
        QCOMPARE(Alert->GetWindowState(), TWindowState::wsNormal);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
