// The callsign editor, opened with a double-click as the operator opens it: what it commits into
// the main window's callsign, its fresh start at each opening, and callsigns of any length and
// script surviving the settings file.
#include "windows_fixture.h"

#include <QClipboard>

namespace {

// One of the operator's steps in the box: "type TEXT" (any script, several characters at once,
// as an input method gives them), "paste TEXT", "select all", or a key: "Enter", "Backspace".
void Do(TEdit* box, const QString& step) {
    const QString text = step.mid(step.indexOf(' ') + 1);
    if (step.startsWith("type "))
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text, Qt::NoModifier);
    else if (step.startsWith("paste ")) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keySequence(box, QKeySequence::Paste);
    } else if (step == "select all")
        QTest::keySequence(box, QKeySequence::SelectAll);
    else
        QTest::keyClick(box, step == "Enter" ? Qt::Key_Return : Qt::Key_Backspace);
}

} // namespace

class TestCallsignEditor : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowsFixture> windows;
    QString Shown() const { return Form1->CallSign->GetText(); }

    // Double-clicks the callsign; `whileOpen` runs inside the modal showing, which the Close
    // button then ends. Whether the window shown was the one held in Form3, which holds null
    // again once the editor is gone.
    bool RunEditor(const std::function<void(TForm3*)>& whileOpen) {
        bool shownWasForm3 = false;
        QTimer::singleShot(0, Form1, [&] {
            auto* shown = dynamic_cast<TForm3*>(QApplication::activeModalWidget());
            if (!shown)
                return;
            shownWasForm3 = shown == Form3 && QTest::qWaitForWindowActive(shown);
            whileOpen(shown);
            QTest::mouseClick(shown->Button1, Qt::LeftButton);
        });
        QTest::mouseDClick(Form1->EditCallSignButton, Qt::LeftButton);
        return shownWasForm3 && !Form3;
    }

private slots:
    void init() {
        windows = std::make_unique<WindowsFixture>();
        windows->OpenMainWindows();
        Form1->CallSign->SetText(QStringLiteral("W1AW"));
    }
    void cleanup() { windows.reset(); }

    // Enter, or the Close button as the focus leaves the box, commits a text that differs from
    // the last one committed; the empty text shows the designed callsign. A text as it was
    // must not wipe the operator's callsign.
    void commitsWhatWasTyped_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, const QStringList& steps, const QString& shown) {
            QTest::newRow(name) << steps << shown;
        };
        row("case kept", {"type dl1Abc/p", "Enter"}, "dl1Abc/p");
        row("blanks only are not empty", {"type    ", "Enter"}, "   ");
        row("emptied", {"type K1ABC", "Enter", "select all", "Backspace", "Enter"}, "Callsign");
        row("Close commits", {"type K1ABC"}, "K1ABC");
        row("untouched", {"Enter"}, "W1AW");
        row("typed and erased", {"type X", "Backspace", "Enter"}, "W1AW");
        const QString longText = QStringLiteral("DL1ÄBC/ＭＭ").repeated(34);
        row("306 characters of any script", {"paste " + longText, "Enter"}, longText);
        row("markup is text", {"paste <u>W1AW</u> &amp; <b>", "Enter"}, "<u>W1AW</u> &amp; <b>");
        row("line breaks become blanks", {"paste W1AW\r\nPORTABLE\nMOBILE\rQRP", "Enter"},
            "W1AW PORTABLE MOBILE QRP");
    }
    void commitsWhatWasTyped() {
        QFETCH(QStringList, steps);
        QFETCH(QString, shown);
        QVERIFY(RunEditor([&](TForm3* editor) {
            for (const QString& step : steps)
                Do(editor->Edit1, step);
        }));
        QCOMPARE(Shown(), shown);
        QString box, preview;
        QVERIFY(RunEditor([&](TForm3* editor) {
            box = editor->Edit1->GetText();
            preview = editor->Label1->GetText();
        }));
        QCOMPARE(box + preview, QStringLiteral("Callsign"));
        Form1->Close();
        windows->CloseMainWindows();
        windows->OpenMainWindows();
        QCOMPARE(Shown(), shown.trimmed()); // blanks around values are not kept in the file
        QVERIFY(ShowsWholeText(Form1->CallSign));
    }
};

QTEST_MAIN(TestCallsignEditor)
#include "test_callsign_editor.moc"
