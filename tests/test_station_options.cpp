// The station options window on real widgets: the options it reads and saves, which take
// effect at once, what it says of the callsign in Morse and of an output not connected, its
// Test button, and the main window's right-click menu that opens it.
#include "settings/ini_file.h"
#include "station/station_options.h"
#include "station/station_settings.h"
#include "test_files.h"
#include "toolkit/application.h"
#include "windows_fixture.h"

#include <QContextMenuEvent>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

class TestStationOptions : public QObject {
    Q_OBJECT

    TApplication application;
    std::unique_ptr<WindowsFixture> windows;

    TStationOptions* Open(const QByteArray& settings = {}) {
        windows->Store(settings);
        windows->OpenMainWindows();
        StationOptions = TForm::Construct<TStationOptions>(Form1);
        return StationOptions;
    }

private slots:
    void init() {
        // No sound server: the outputs list is the default alone.
        qputenv("PULSE_SERVER", "unix:/nonexistent");
        windows = std::make_unique<WindowsFixture>();
    }
    void cleanup() {
        delete StationOptions;
        StationOptions = nullptr;
        windows.reset();
    }

    // A file without the section (an older Chimewell's) reads as the defaults.
    void reads_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("nothing stored") << QByteArray() << "10 15 WPM 700 Hz ITU phonetics 150 wpm";
        QTest::newRow("chosen") << QByteArray("Interval=15\nMorseWpm=18\nMorseHz=600\n"
                                              "SpeechSpelling=letters\nSpeechRate=200\n")
                                << "15 18 WPM 600 Hz letter by letter 200 wpm";
        QTest::newRow("garbage") << QByteArray("Interval=7\nMorseWpm=fast\nMorseHz=\n"
                                               "SpeechSpelling=Morse\nSpeechRate=fast\n")
                                 << "10 15 WPM 700 Hz ITU phonetics 150 wpm";
        QTest::newRow("out of range")
            << QByteArray("Interval=-15\nMorseWpm=99\nMorseHz=50\nSpeechRate=9999\n")
            << "10 20 WPM 300 Hz ITU phonetics 300 wpm";
    }
    void reads() {
        QFETCH(QByteArray, stored);
        QFETCH(QString, shown);
        TStationOptions* options = Open("[Station]\n" + stored);
        QCOMPARE(
            QStringList({options->IntervalComboBox->currentText(), options->SpeedSpinBox->text(),
                         options->ToneSpinBox->text(), options->SpellingComboBox->currentText(),
                         options->RateSpinBox->text()})
                .join(' '),
            shown);
    }

    // The operator's changes are saved when the window closes, a port still being typed too;
    // a port is never taken halfway through its typing. Each kind of rig keeps its own host
    // and port: what is typed for one is taken before another shows its own.
    void closeWritesItsKeysInOrder() {
        TStationOptions* options = Open();
        options->IntervalComboBox->setCurrentIndex(options->IntervalComboBox->IndexOfId("30"));
        QTest::keyClick(options->SpeedSpinBox, Qt::Key_Down);
        QTest::keyClicks(options->RigHostEdit, ".lan"); // no Enter
        const auto typePort = [options](const char* port) {
            options->RigPortSpinBox->selectAll();
            QTest::keyClicks(options->RigPortSpinBox, port);
        };
        typePort("4533");
        QCOMPARE(stationRig->Choice().rigctld.port, 4532);
        QTest::keyClick(options->RigPortSpinBox, Qt::Key_Enter);
        options->RigComboBox->setCurrentIndex(2);
        QCOMPARE(options->RigHostEdit->text() + ":" + options->RigPortSpinBox->text(),
                 "localhost:12345");
        typePort("12346");
        options->Close();
        QCOMPARE(windows->Settings(),
                 QStringLiteral("[Station Options Form]\nLeft=100\nTop=100\n\n[Station]\n"
                                "Interval=30\nMorseWpm=14\nMorseHz=700\nOutput=\nRig=1\n"
                                "RigHost=localhost.lan\nRigPort=4533\nRigKind=flrig\n"
                                "FlrigHost=localhost\nFlrigPort=12346\nFldigiHost=localhost\n"
                                "FldigiPort=7362\nWsjtxGroup=\nWsjtxPort=2237\nTiming=marks\n"
                                "WarnSeconds=60\nPolite=1\nStartReminder=0\nTray=0\n"
                                "SpeechSpelling=phonetics\nSpeechVoice=gmw/en\nSpeechRate=150\n"));
    }

    // A preset fills the timing in, and changing a field shows "Custom"; a warning longer than
    // the interval is held to it.
    void licenceRules() {
        TStationOptions* o = Open("[Station]\nTiming=rolling\nWarnSeconds=900\nTray=1\n");
        const auto fields = [o] {
            QString shown = o->RulesComboBox->currentText() + " " +
                            o->IntervalComboBox->currentText() + " " +
                            o->RemindComboBox->currentText() + " " + o->WarnSpinBox->text();
            for (const TCheckBox* box : {o->PoliteCheckBox, o->StartCheckBox, o->TrayCheckBox})
                shown += box->isChecked() ? "|" + box->text().section(' ', -1) : "";
            return shown;
        };
        QCOMPARE(fields(), "Custom 10 counted from my first transmission 600 s|transmitting|tray");
        o->RulesComboBox->setCurrentIndex(1);
        QCOMPARE(fields(), "Canada (start, every 30 min, end) 30 counted from my first "
                           "transmission 60 s|transmitting|contact|tray");
        o->StartCheckBox->setChecked(false);
        QCOMPARE(o->RulesComboBox->currentText(), "Custom");
        o->RulesComboBox->setCurrentIndex(0);
        o->Close();
        for (const char* saved : {"Interval=10", "Timing=rolling", "WarnSeconds=60", "Polite=1",
                                  "StartReminder=0", "Tray=1"})
            QVERIFY2(windows->Settings().split('\n').contains(saved), saved);
    }

    // What the window says of the callsign in Morse; Test renders it at the speed and tone
    // shown, and says why it could not sound: here there is no sound server.
    void morseNoteAndTest_data() {
        QTest::addColumn<QString>("callsign");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("reason");
        const QString noOutput = "the sound server said: Connection refused";
        QTest::newRow("all sent") << "W1AW/P"
                                  << "Sends all of \"W1AW/P\"." << noOutput;
        // Sent without them, it would name another station.
        QTest::newRow("some unsendable")
            << "DL1ÄBC#Ä"
            << "Morse has no sign for Ä # in \"DL1ÄBC#Ä\": the marks sound the system tone "
               "instead."
            << "Morse has no sign for Ä # in \"DL1ÄBC#Ä\"";
        QTest::newRow("none") << ""
                              << "Nothing of \"\" can be sent in Morse: the marks sound the "
                                 "system tone instead."
                              << "nothing of \"\" can be sent in Morse";
        const QString tooLong(40, '0');
        QTest::newRow("too long") << tooLong
                                  << "Sends all of \"" + tooLong +
                                         "\". Too long: only its beginning is sent."
                                  << noOutput;
    }
    void morseNoteAndTest() {
        QFETCH(QString, callsign);
        QFETCH(QString, note);
        QFETCH(QString, reason);
        TStationOptions* options = Open("[Main Form]\nCallSign=" + callsign.toUtf8() + "\n");
        QCOMPARE(options->MorseLabel->GetText(), note);
        options->SpeedSpinBox->setValue(20);
        options->ToneSpinBox->setValue(900);
        QTest::mouseClick(options->TestButton, Qt::LeftButton);
        QTRY_COMPARE(options->MorseLabel->GetText(),
                     "The Morse could not sound (" + reason + "); the system tone played.");
        const auto keying = morse::Encode(callsign.toStdString());
        const auto sent = keying.skipped.empty() && !keying.elements.empty()
                              ? morse::Render(keying.elements, {20, 900, 48000}).size()
                              : 0;
        QCOMPARE(options->MorseSender->GetPreparedSamples(), sent);
    }

    // The words the window says are spoken, as the spelling chosen; Test synthesizes them with
    // espeak-ng and says why they could not sound: here there is no sound server. Meanwhile the
    // voices installed are listed, the default one chosen.
    void speechNoteAndTest() {
        TStationOptions* options = Open("[Main Form]\nCallSign=dl1abc/p\n[Station]\n"
                                        "SpeechSpelling=letters\nSpeechVoice=xx/none\n");
        QCOMPARE(options->SpeechLabel->GetText(), "Says \"D, L, 1, A, B, C, portable\".");
        options->SpellingComboBox->setCurrentIndex(0);
        QCOMPARE(options->SpeechLabel->GetText(),
                 "Says \"Delta Lima One Alpha Bravo Charlie portable\".");
        QTest::mouseClick(options->SpeechTestButton, Qt::LeftButton);
        QTRY_COMPARE(options->SpeechLabel->GetText(),
                     "The speech could not sound (the sound server said: Connection refused); "
                     "the system tone played.");
        QVERIFY(options->Speaker->GetPreparedSamples() > 0);
        QTRY_VERIFY(options->VoiceComboBox->count() > 1);
        QCOMPARE(options->VoiceComboBox->GetSelectedId(), "gmw/en");
    }

    // With Morse chosen, the callsign is rendered once the main window shows, not at the mark.
    void morseReadyBeforeTheMark() {
        windows->Store("[Main Form]\nAudio=3\nCallSign=W1AW\n");
        windows->OpenMainWindows();
        Form1->SetVisible(true);
        QEventLoop idle; // waits for events, as the program's loop does, and so falls idle
        QTimer::singleShot(500, &idle, &QEventLoop::quit);
        idle.exec();
        QVERIFY(Form1->MorseSender1->GetPreparedSamples() > 0);
    }

    // The rig's keys as read, and the link's words; a port out of range, no host or an unknown
    // kind reads as the default. A stand-in answers as each program does (the real programs
    // are in the end-to-end test) and shows at once: the words, the time and the badge.
    void rig_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("shown");
        const auto http = [](const QByteArray& status, const QByteArray& body) {
            return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) +
                   "\r\n\r\n" + body;
        };
        const QString off = "off localhost:4532|Off: every mark reminds|none seen";
        QTest::newRow("nothing stored") << QByteArray() << QByteArray() << off;
        QTest::newRow("garbage") << QByteArray("Rig=x\nRigHost= \nRigPort=70000\nRigKind=ham")
                                 << QByteArray() << off;
        QTest::newRow("refused") << QByteArray("Rig=1\nRigHost=127.0.0.1\nRigPort=1")
                                 << QByteArray()
                                 << "rigctld 127.0.0.1:1|Not connected to rigctld: connection "
                                    "refused, retrying in 1 s|none seen";
        QTest::newRow("rigctld") << QByteArray("Rig=1\nRigPort=PORT")
                                 << QByteArray("get_ptt:;PTT: 1;RPRT 0\n")
                                 << "rigctld localhost:PORT|Connected to rigctld, "
                                    "transmitting|hh:mm:ss";
        QTest::newRow("flrig") << QByteArray("Rig=1\nRigKind=flrig\nFlrigPort=PORT")
                               << http("200 OK", "<methodResponse><params><param><value><i4>1"
                                                 "</i4></value></param></params></methodResponse>")
                               << "flrig localhost:PORT|Connected to flrig, transmitting|hh:mm:ss";
        QTest::newRow("fldigi, an error page")
            << QByteArray("Rig=1\nRigKind=fldigi\nFldigiHost=127.0.0.1\nFldigiPort=PORT")
            << http("500 Internal Server Error", "<html><body>Oops</body></html>")
            << "fldigi 127.0.0.1:PORT|Not connected to fldigi: HTTP error 500, retrying in 1 "
               "s|none seen";
        QTest::newRow("WSJT-X")
            << QByteArray("Rig=1\nRigKind=wsjtx\nWsjtxPort=PORT")
            << Contents(QFINDTESTDATA("data/wsjtx/status_transmitting.bin"))
            << "WSJT-X or JTDX :PORT|Hearing WSJT-X on port PORT, transmitting|hh:mm:ss";
        QTest::newRow("WSJT-X, not a group")
            << QByteArray("Rig=1\nRigKind=wsjtx\nWsjtxGroup=10.0.0.1") << QByteArray()
            << "WSJT-X or JTDX 10.0.0.1:2237|Cannot listen on port 2237: the group is not a "
               "multicast address|none seen";
    }
    void rig() {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, answer);
        QFETCH(QString, shown);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, [&server, answer] {
            QTcpSocket* client = server.nextPendingConnection();
            connect(client, &QTcpSocket::readyRead, [client, answer] {
                client->readAll();
                client->write(answer);
            });
        });
        const QByteArray port = QByteArray::number(server.serverPort());
        TStationOptions* o = Open("[Station]\n" + stored.replace("PORT", port) + "\n");
        if (stored.contains("wsjtx") && !answer.isEmpty())
            QUdpSocket().writeDatagram(answer, QHostAddress::LocalHost, server.serverPort());
        const auto words = [o] {
            return QString(o->RigComboBox->currentText() + " " + o->RigHostEdit->text() + ":" +
                           o->RigPortSpinBox->text() + "|" + o->RigStatusLabel->GetText() + "|" +
                           o->RigLastLabel->GetText().remove("Last transmission: "))
                .replace(QRegularExpression("\\d\\d:\\d\\d:\\d\\d"), "hh:mm:ss");
        };
        QTRY_COMPARE(words(), shown.replace("PORT", port));
        QCOMPARE(Form1->OnAirLabel->isVisibleTo(Form1), shown.contains("transmitting"));
    }

    // The choice stays listed, and saved, while its output is not connected.
    void outputNotConnected() {
        TStationOptions* options = Open("[Station]\nOutput=usb-radio\n");
        QCOMPARE(options->OutputComboBox->currentText(),
                 QStringLiteral("usb-radio (not connected)"));
        QVERIFY(options->OutputNoteLabel->GetText().startsWith("Not connected now"));
        options->Close();
        QCOMPARE(TIniFile(SettingsFilePath()).ReadString(Station::kOutput),
                 QStringLiteral("usb-radio"));
        options->OutputComboBox->setCurrentIndex(0);
        QCOMPARE(GetSoundOutput(), QString());
        QCOMPARE(options->OutputNoteLabel->GetText(), QString());
    }

    // A right click opens the menu whose item (also Ctrl+,: see the end-to-end test) opens
    // the window modally over the main window.
    void rightClickOpensIt() {
        windows->OpenMainWindows();
        Form1->SetVisible(true);
        QWidget* over = nullptr;
        QTimer::singleShot(0, Form1, [&] {
            if (auto* opened = dynamic_cast<TStationOptions*>(QApplication::activeModalWidget())) {
                over = opened->parentWidget();
                opened->close();
            }
        });
        QContextMenuEvent click(QContextMenuEvent::Mouse, {5, 5}, Form1->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(Form1->AudioButton, &click);
        QVERIFY(Form1->PopupMenu1->isVisible());
        Form1->StationOptionsItem->trigger();
        QCOMPARE(over, Form1);
        QVERIFY(!StationOptions);
        QVERIFY(windows->Settings().contains("[Station]"));
    }
};

QTEST_MAIN(TestStationOptions)
#include "test_station_options.moc"
