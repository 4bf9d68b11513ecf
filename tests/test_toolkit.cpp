// The toolkit layer's own semantics: what every window relies on.
#include "app/toolkit/application.h"
#include "app/toolkit/controls.h"
#include "app/toolkit/form.h"
#include "app/toolkit/screen_placement.h"

#include <QtTest>
#include <limits>
#include <stdexcept>

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

    void handlerExceptionsAreShownNotPropagated() {
        TButton button(nullptr);
        button.OnClick = [](TObject*) { throw std::runtime_error("handler failed"); };
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(reported, QStringList{"handler failed"});
        reported.clear();
    }

    // Controls keep their designed proportions as the window grows; the label lying on the
    // button lets the click through to it; a label's longer text spills over both sides
    // instead of being cut, and a wrapped path stays in its place.
    void controlsOnAForm() {
        ProbeForm form(nullptr);
        form.SetWidth(form.GetWidth() + 200); // the client area doubles
        form.SetHeight(form.GetHeight() + 100);
        QCOMPARE(form.Button->geometry(), QRect(40, 20, 200, 100));
        int clicks = 0;
        form.Button->OnClick = [&](TObject*) { ++clicks; };
        form.SetVisible(true);
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, form.Cover->geometry().center());
        QCOMPARE(clicks, 1);
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
        QTest::newRow("on screen") << Frame{50, 50, 400, 600} << QRect(50, 50, 400, 600);
        QTest::newRow("mostly off, bar grabbable")
            << Frame{-350, 900, 400, 600} << QRect(-350, 900, 400, 600);
        QTest::newRow("far off every screen")
            << Frame{-5000, -5000, 400, 300} << QRect(0, 0, 400, 300);
        QTest::newRow("far right") << Frame{9000, 100, 400, 300} << QRect(880, 100, 400, 300);
        QTest::newRow("below the bottom")
            << Frame{100, 5000, 400, 300} << QRect(100, 724, 400, 300);
        QTest::newRow("bar above the top") << Frame{100, -15, 400, 300} << QRect(100, 0, 400, 300);
        QTest::newRow("wider than the screen")
            << Frame{-5000, 10, 3000, 300} << QRect(0, 10, 1280, 300);
        QTest::newRow("larger than its screen")
            << Frame{1500, 50, 100000, 100000} << QRect(1280, 0, 1920, 1080);
        QTest::newRow("int32 largest") << Frame{top, top, top, top} << QRect(0, 0, 1280, 1024);
        QTest::newRow("zero and negative size") << Frame{50, 50, 0, -5} << QRect(50, 50, 100, 80);
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
