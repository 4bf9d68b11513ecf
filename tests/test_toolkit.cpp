// The toolkit layer's own semantics: what every window relies on.
#include "app/toolkit/application.h"
#include "app/toolkit/controls.h"
#include "app/toolkit/form.h"
#include "app/toolkit/screen_placement.h"
#include "app/toolkit/timer.h"

#include <QtTest>
#include <limits>
#include <stdexcept>

namespace {

class ProbeForm;
ProbeForm* probeVariable = nullptr;

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

    void createFormFillsVariableBeforeConstruction() {
        application.CreateForm(probeVariable);
        QVERIFY(probeVariable);
        QCOMPARE(probeVariable->seenByConstructor, probeVariable);
        QCOMPARE(probeVariable->seenByCreate, probeVariable);
        QCOMPARE(application.MainForm(), probeVariable);
    }

    // The session may go on: the main form saves as it would at its close, and stays open.
    void sessionManagersSaveRequestRunsTheMainFormsCloseEvent() {
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
    }

    void outerGeometryRoundTrips() {
        ProbeForm form(nullptr);
        QCOMPARE(form.GetLeft(), 10);
        QCOMPARE(form.GetTop(), 20);
        form.SetLeft(30);
        form.SetTop(40);
        form.SetWidth(400);
        form.SetHeight(300);
        form.SetVisible(true);
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(QRect(form.GetLeft(), form.GetTop(), form.GetWidth(), form.GetHeight()),
                 QRect(30, 40, 400, 300));
    }

    void scaleAlignedControlsKeepProportions() {
        ProbeForm form(nullptr);
        form.SetWidth(form.GetWidth() + 200); // the client area doubles
        form.SetHeight(form.GetHeight() + 100);
        QCOMPARE(form.Button->geometry(), QRect(40, 20, 200, 100));
    }

    void labelsLetClicksThroughToTheButtonBeneath() {
        ProbeForm form(nullptr);
        int clicks = 0;
        form.Button->OnClick = [&](TObject*) { ++clicks; };
        form.SetVisible(true);
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, form.Cover->geometry().center());
        QCOMPARE(clicks, 1);
    }

    void longLabelTextSpillsInsteadOfBeingCut() {
        ProbeForm form(nullptr);
        const QRect designed = form.Cover->geometry();
        form.Cover->SetText(QStringLiteral("a text far wider than the designed place of it"));
        QCoreApplication::processEvents(); // labels fit once the event loop runs
        QVERIFY(form.Cover->width() > designed.width());
        QCOMPARE(form.Cover->geometry().center().x(), designed.center().x());
    }

    void wrappedPathStaysInsideItsPlace() {
        ProbeForm form(nullptr);
        const QRect designed = form.Cover->geometry();
        const QString path = QStringLiteral("/home/operator/Music/alerts/a-long-file-name.flac");
        form.Cover->SetWordWrap(true);
        form.Cover->SetText(path);
        QCoreApplication::processEvents();
        QCOMPARE(form.Cover->geometry(), designed);
        QCOMPARE(form.Cover->GetText(), path);
    }

    void invisibleButtonStillTakesDoubleClicksAndWheel() {
        TButton area(nullptr);
        area.SetOpacity(0);
        area.resize(100, 40);
        int doubleClicks = 0;
        int wheels = 0;
        area.OnDblClick = [&](TObject*) { ++doubleClicks; };
        area.OnMouseWheel = [&](TObject*, TShiftState, int, bool&) { ++wheels; };
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QTest::mouseDClick(&area, Qt::LeftButton);
        QWheelEvent wheel(QPointF(10, 10), area.mapToGlobal(QPointF(10, 10)), {}, {0, -120}, {}, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&area, &wheel);
        QCOMPARE(doubleClicks, 1);
        QCOMPARE(wheels, 1);
    }

    void ticksContinueDuringModalShowing() {
        ProbeForm owner(nullptr);
        auto* modal = TForm::Construct<ProbeForm>(&owner);
        TTimer timer(nullptr);
        timer.SetInterval(5);
        int ticks = 0;
        timer.OnTimer = [&](TObject*) {
            if (++ticks == 3)
                modal->Close();
        };
        modal->ShowModal();
        QCOMPARE(ticks, 3);
        QVERIFY(!modal->GetVisible());
        delete modal;
    }

    void shownFrame_data() {
        using Frame = QList<qint64>;
        QTest::addColumn<Frame>("asked");
        QTest::addColumn<QRect>("expected");
        constexpr qint64 top = std::numeric_limits<std::int32_t>::max();
        constexpr qint64 bottom = std::numeric_limits<std::int32_t>::min();
        QTest::newRow("on screen") << Frame{50, 50, 400, 600} << QRect(50, 50, 400, 600);
        QTest::newRow("on the second screen")
            << Frame{1500, 100, 400, 300} << QRect(1500, 100, 400, 300);
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
        QTest::newRow("int32 smallest") << Frame{bottom, bottom, 600, 500} << QRect(0, 0, 600, 500);
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
