// The callsign editor: its commits into the main window's callsign, its fresh start at each
// opening, its saved place, and callsigns of any length and script surviving the settings file.
#include "app/toolkit/application.h"
#include "callsign_editor/callsign_editor.h"
#include "windows_fixture.h"

#include <QClipboard>

namespace {

// As a keyboard or an input method delivers it: any script, several characters at once.
void Type(QWidget* box, const QString& text) {
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text, Qt::NoModifier);
}

void Paste(QWidget* box, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keySequence(box, QKeySequence::Paste);
}

} // namespace

class TestCallsignEditor : public QObject {
    Q_OBJECT

    TApplication application;
    std::unique_ptr<WindowsFixture> fixture;
    TEdit* OpenEditor() {
        Form3 = TForm::Construct<TForm3>(Form1);
        return Form3->Edit1;
    }
    void CloseEditor() {
        delete Form3;
        Form3 = nullptr;
    }
    QString Shown() const { return Form1->CallSign->GetText(); }

    // Double-clicks the callsign; `whileOpen` runs inside the modal showing, which the Close
    // button then ends. Returns whether the window shown was the one held in Form3, which holds
    // null again once the editor is gone.
    bool RunEditor(const std::function<void(TForm3*)>& whileOpen) {
        bool shownWasForm3 = false;
        QTimer::singleShot(0, Form1, [&] {
            auto* shown = dynamic_cast<TForm3*>(QApplication::activeModalWidget());
            if (!shown)
                return;
            shownWasForm3 = shown == Form3;
            whileOpen(shown);
            QTest::mouseClick(shown->Button1, Qt::LeftButton);
        });
        QTest::mouseDClick(Form1->EditCallSignButton, Qt::LeftButton);
        return shownWasForm3 && !Form3;
    }

private slots:
    void init() {
        fixture = std::make_unique<WindowsFixture>();
        fixture->OpenMainWindows();
        Form1->CallSign->SetText(QStringLiteral("W1AW"));
    }
    void cleanup() {
        CloseEditor();
        fixture.reset();
    }

    void enterCommitsExactlyWhatWasTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("case kept") << QStringLiteral("dl1Abc/p");
        QTest::newRow("blanks only are not empty") << QStringLiteral("   ");
    }

    void enterCommitsExactlyWhatWasTyped() {
        QFETCH(QString, typed);
        TEdit* box = OpenEditor();
        Type(box, typed);
        QCOMPARE(Shown(), QStringLiteral("W1AW"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(Form3->Label1->GetText(), typed);
        QCOMPARE(Shown(), typed);
    }

    void emptyCommitShowsTheDesignedCallsign() {
        TEdit* box = OpenEditor();
        Type(box, QStringLiteral("K1ABC"));
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(Form3->Label1->GetText(), QStringLiteral("Callsign"));
        QCOMPARE(Shown(), QStringLiteral("Callsign"));
    }

    void closeButtonCommitsAsFocusLeavesTheBox() {
        TEdit* box = OpenEditor();
        Form3->SetVisible(true);
        QVERIFY(QTest::qWaitForWindowActive(Form3));
        QVERIFY(box->hasFocus());
        Type(box, QStringLiteral("K1ABC"));
        QTest::mouseClick(Form3->Button1, Qt::LeftButton);
        QCOMPARE(Shown(), QStringLiteral("K1ABC"));
        QVERIFY(!Form3->GetVisible());
    }

    void unchangedTextCommitsNothing_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::newRow("untouched") << QList<int>{};
        QTest::newRow("typed and erased") << QList<int>{Qt::Key_X, Qt::Key_Backspace};
    }

    // An Enter in a box whose text is as it was must not wipe the operator's callsign.
    void unchangedTextCommitsNothing() {
        QFETCH(QList<int>, keys);
        QVERIFY(RunEditor([&](TForm3* editor) {
            for (int key : keys)
                QTest::keyClick(editor->Edit1, Qt::Key(key));
            QTest::keyClick(editor->Edit1, Qt::Key_Return);
        }));
        QCOMPARE(Shown(), QStringLiteral("W1AW"));
    }

    void eachOpeningStartsFresh() {
        QVERIFY(RunEditor([](TForm3* editor) {
            Type(editor->Edit1, QStringLiteral("N0CALL"));
            QTest::keyClick(editor->Edit1, Qt::Key_Return);
        }));
        QString box, preview;
        QVERIFY(RunEditor([&](TForm3* editor) {
            box = editor->Edit1->GetText();
            preview = editor->Label1->GetText();
        }));
        QCOMPARE(box, QString());
        QCOMPARE(preview, QStringLiteral("Callsign"));
        QCOMPARE(Shown(), QStringLiteral("N0CALL"));
    }

    void placeIsRestoredAndSaved() {
        OpenEditor();
        QCOMPARE(QRect(Form3->GetLeft(), Form3->GetTop(), Form3->GetWidth(), Form3->GetHeight()),
                 QRect(100, 100, 370, 330));
        Form3->SetLeft(140);
        Form3->SetTop(120);
        Form3->Close();
        QCOMPARE(fixture->Settings(),
                 QStringLiteral("[CallSign Form]\nLeft=140\nTop=120\nWidth=370\nHeight=330\n"));
        CloseEditor();
        OpenEditor();
        QCOMPARE(QPoint(Form3->GetLeft(), Form3->GetTop()), QPoint(140, 120));
    }

    void callsignSurvivesTheSettingsFile_data() {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("kept");
        const QString unusual = QStringLiteral("DL1ÄBC/ＭＭ");
        const QString longText = QStringLiteral("ÄB/").repeated(100);
        QTest::newRow("any script") << unusual << unusual;
        QTest::newRow("300 characters") << longText << longText;
        QTest::newRow("markup is text")
            << QStringLiteral("<u>W1AW</u> &amp; <b>") << "<u>W1AW</u> &amp; <b>";
        QTest::newRow("line breaks become blanks")
            << QStringLiteral("W1AW\r\nPORTABLE\nMOBILE\rQRP")
            << QStringLiteral("W1AW PORTABLE MOBILE QRP");
    }

    void callsignSurvivesTheSettingsFile() {
        QFETCH(QString, pasted);
        QFETCH(QString, kept);
        TEdit* box = OpenEditor();
        Paste(box, pasted);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(Shown(), kept);
        CloseEditor();
        Form1->StopButtonClick(nullptr);
        Form1->Close();
        fixture->CloseMainWindows();
        fixture->OpenMainWindows();
        QCOMPARE(Shown(), kept);
        QVERIFY(ShowsWholeText(Form1->CallSign));
        QCOMPARE(Form1->Active_Indicator->GetText(), QStringLiteral("Stopped"));
    }
};

QTEST_MAIN(TestCallsignEditor)
#include "test_callsign_editor.moc"
