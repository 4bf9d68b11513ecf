// The toolkit layer's own semantics: what every window relies on.
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/screen_placement.h"

#include <QtTest>
#include <limits>

namespace {

class ProbeForm;
ProbeForm* probeVariable = nullptr;

// A button with a label lying on it, in a window of 200 x 100 designed at 10,20.
class ProbeForm : public TForm {
public:
    explicit ProbeForm(TComponent* Owner)
        : TForm(Owner) {
        seenByConstructor = probeVariable;
        ApplyDesign({QStringLiteral("Probe"), 200, 100, 10, 20});
        Button = new TColorButton(this);
        Place(Button, {20, 10, 100, 50});
        Cover = AddLabel({{20, 10, 100, 50}, QStringLiteral("label over the button"), {}});
        OnCreate = [this](TObject*) { seenByCreate = probeVariable; };
    }
    ProbeForm* seenByConstructor = nullptr;
    ProbeForm* seenByCreate = nullptr;
    TColorButton* Button;
    TLabel* Cover;
};

} // namespace

class TestToolkit : public QObject {
    Q_OBJECT

    TApplication application;
    QStringList reported;

private slots:
    void initTestCase() {
        application.Initialize();
        application.OnException = [this](TObject*, const std::exception& e) {
            reported << QString::fromUtf8(e.what());
        };
    }
    void init() { reported.clear(); }
    void cleanup() { QVERIFY2(reported.isEmpty(), qPrintable(reported.join('\n'))); }

    // The form's own create event can already reach it through its variable; a session
    // manager's request to save runs the main form's close event, and the form stays open, for
    // the session may go on.
    void mainFormFromCreationToTheSessionsSave() {
        application.CreateForm(probeVariable);
        QCOMPARE(probeVariable->seenByConstructor, probeVariable);
        QCOMPARE(probeVariable->seenByCreate, probeVariable);
        QCOMPARE(application.MainForm(), probeVariable);
        int closeEvents = 0;
        probeVariable->OnClose = [&](TObject*, TCloseAction&) { ++closeEvents; };
        probeVariable->SetVisible(true);
        void* noSessionManager[] = {nullptr, nullptr};
        const QMetaMethod request = QMetaMethod::fromSignal(&QGuiApplication::commitDataRequest);
        QMetaObject::activate(qApp, &QGuiApplication::staticMetaObject,
                              request.relativeMethodIndex(), noSessionManager);
        QCOMPARE(closeEvents, 1);
        QVERIFY(probeVariable->GetVisible());
    }

    // Controls keep their designed proportions as the window grows; a label's longer text spills
    // over both sides instead of being cut, and a wrapped path stays in its place. (A click on
    // a label lying on a button reaches the button: the alert's close table clicks its text.)
    void controlsOnAForm() {
        ProbeForm form(nullptr);
        form.SetWidth(form.GetWidth() + 200); // the client area doubles
        form.SetHeight(form.GetHeight() + 100);
        QCOMPARE(form.Button->geometry(), QRect(40, 20, 200, 100));
        form.SetVisible(true);
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QRect designed = form.Cover->geometry();
        form.Cover->SetText(QStringLiteral("a text far wider than the designed place of it"));
        QCoreApplication::processEvents(); // labels fit once the event loop runs
        QVERIFY(form.Cover->width() > designed.width());
        QCOMPARE(form.Cover->geometry().center().x(), designed.center().x());
        form.Cover->SetWordWrap(true);
        form.Cover->SetText(QStringLiteral("/home/operator/Music/alerts/a-long-file-name.flac"));
        QCoreApplication::processEvents();
        QCOMPARE(form.Cover->geometry(), designed);
    }

    void shownFrame_data() {
        using Frame = QList<qint64>;
        QTest::addColumn<Frame>("asked");
        QTest::addColumn<QRect>("expected");
        constexpr qint64 top = std::numeric_limits<std::int32_t>::max();
        const auto row = [](const char* name, const Frame& asked, const QRect& expected) {
            QTest::newRow(name) << asked << expected;
        };
        row("mostly off, bar grabbable: as asked", {-350, 900, 400, 600}, {-350, 900, 400, 600});
        row("far off every screen", {-5000, -5000, 400, 300}, {0, 0, 400, 300});
        row("far right", {9000, 100, 400, 300}, {880, 100, 400, 300});
        row("below the bottom", {100, 5000, 400, 300}, {100, 724, 400, 300});
        row("bar above the top", {100, -15, 400, 300}, {100, 0, 400, 300});
        row("wider than the screen", {-5000, 10, 3000, 300}, {0, 10, 1280, 300});
        row("larger than its screen", {1500, 50, 100000, 100000}, {1280, 0, 1920, 1080});
        row("int32 largest", {top, top, top, top}, {0, 0, 1280, 1024});
        row("zero and negative size", {50, 50, 0, -5}, {50, 50, 100, 80});
    }
    void shownFrame() {
        QFETCH(QList<qint64>, asked);
        QFETCH(QRect, expected);
        const QRect primary(0, 0, 1280, 1024);
        const QList<QRect> screens{primary, QRect(1280, 0, 1920, 1080)};
        const TFrame frame{asked[0], asked[1], asked[2], asked[3]};
        QCOMPARE(ShownFrame(frame, QSize(100, 80), 20, screens, primary), expected);
    }
};

QTEST_MAIN(TestToolkit)
#include "test_toolkit.moc"
