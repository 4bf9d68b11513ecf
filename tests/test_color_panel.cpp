// The colour panel at the sizes the windows give it, driven by presses and drags given as
// fractions of its size.
#include "app/toolkit/bindings.h"
#include "app/toolkit/color_panel.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QSize kMainWindowSize(329, 193);
const QSize kAlertSize(393, 145);

#define COMPARE_COLOR(actual, expected, tolerance)                                                 \
    QVERIFY2(                                                                                      \
        std::max({qAbs(qRed(actual) - qRed(expected)), qAbs(qGreen(actual) - qGreen(expected)),    \
                  qAbs(qBlue(actual) - qBlue(expected)),                                           \
                  qAbs(qAlpha(actual) - qAlpha(expected))}) <= (tolerance),                        \
        QByteArray::number(actual, 16) + " instead of " + QByteArray::number(expected, 16))

QList<TAlphaColor> Reported(const QSignalSpy& spy) {
    QList<TAlphaColor> colors;
    for (const QList<QVariant>& arguments : spy)
        colors.append(arguments.at(0).toUInt());
    return colors;
}

// A panel shown at one of its designed sizes.
struct ShownPanel {
    explicit ShownPanel(QSize size = kMainWindowSize) {
        panel.resize(size);
        panel.show();
    }
    QPoint At(QPointF fraction) const {
        return {qRound(panel.width() * fraction.x()), qRound(panel.height() * fraction.y())};
    }
    void Drag(QPointF from, const QList<QPointF>& through = {}) {
        QTest::mousePress(&panel, Qt::LeftButton, {}, At(from));
        for (QPointF point : through)
            QTest::mouseMove(&panel, At(point));
        QTest::mouseRelease(&panel, Qt::LeftButton, {},
                            At(through.isEmpty() ? from : through.last()));
    }
    TColorPanel panel{nullptr};
};

} // namespace

class TestColorPanel : public QObject {
    Q_OBJECT
private slots:
    // Each part sets its own component and keeps the others; a drag past the part's edge stops
    // at the edge. A grey or black has no hue, so the hue set before stays for the next pick.
    void drag_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<TAlphaColor>("color");
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<TAlphaColor>("expected");
        const TAlphaColor mutedBlue = 0x80333399;
        const QPointF field(0.3, 0.3), opacity(0.3, 0.99), topRight(1.5, -0.5);
        const struct {
            const char* name;
            TAlphaColor color;
            QPointF from, to;
            TAlphaColor expected;
        } rows[] = {
            {"field top right", mutedBlue, field, topRight, 0x800000FF},
            {"field bottom left", mutedBlue, field, {-0.5, 1.5}, 0x80000000},
            {"hue top keeps saturation and value",
             mutedBlue,
             {0.995, 0.3},
             {0.995, -0.5},
             0x80993333},
            {"opacity left end", mutedBlue, opacity, {-0.5, 0.99}, mutedBlue & 0x00FFFFFF},
            {"opacity right end", mutedBlue, opacity, {1.5, 0.99}, mutedBlue | 0xFF000000},
            {"clear yellow", 0x00FFFF00, field, topRight, 0x00FFFF00},
            {"grey keeps the hue", 0xFF808080, field, topRight, claBlue},
            {"black keeps the hue", 0xFF000000, field, topRight, claBlue},
        };
        for (QSize size : {kMainWindowSize, kAlertSize})
            for (const auto& row : rows)
                QTest::addRow("%s %dx%d", row.name, size.width(), size.height())
                    << size << row.color << row.from << row.to << row.expected;
    }
    void drag() {
        QFETCH(QSize, size);
        QFETCH(TAlphaColor, color);
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        QFETCH(TAlphaColor, expected);
        ShownPanel shown(size);
        shown.panel.SetColor(claBlue);
        shown.panel.SetColor(color);
        COMPARE_COLOR(shown.panel.GetColor(), color, 1);
        shown.Drag(from, {to});
        COMPARE_COLOR(shown.panel.GetColor(), expected, 1);
    }

    // What the field shows at a point is the colour that a press there picks.
    void fieldShowsWhatAPressPicks_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("main window") << kMainWindowSize;
        QTest::newRow("alert") << kAlertSize;
        QTest::newRow("scaled up") << QSize(658, 386);
    }
    void fieldShowsWhatAPressPicks() {
        QFETCH(QSize, size);
        ShownPanel shown(size);
        shown.panel.SetColor(0xFFFF0000);
        const QImage image = shown.panel.grab().toImage();
        for (QPointF fraction : {QPointF(0.1, 0.1), QPointF(0.6, 0.6), QPointF(0.2, 0.7)}) {
            shown.Drag(fraction);
            COMPARE_COLOR(image.pixel(shown.At(fraction)), shown.panel.GetColor(), 4);
        }
    }

    // A drag reports each step, then the last one once as chosen, also when the panel is
    // hidden before the release (which then never comes); a binding with tracking follows
    // every step, one without takes only the choice, and neither hears SetColor.
    void dragReportsAndBindingFollows_data() {
        QTest::addColumn<bool>("track");
        QTest::addColumn<bool>("hiddenMidDrag");
        QTest::newRow("tracking") << true << false;
        QTest::newRow("not tracking") << false << false;
        QTest::newRow("hidden mid-drag") << false << true;
    }
    void dragReportsAndBindingFollows() {
        QFETCH(bool, track);
        QFETCH(bool, hiddenMidDrag);
        ShownPanel shown;
        TBindingsList list(nullptr);
        QList<TAlphaColor> received;
        (new TLinkControlToProperty(&list))
            ->Bind(
                &shown.panel, [&](TAlphaColor c) { received << c; }, track);
        QSignalSpy tracking(&shown.panel, &TColorPanel::ColorTracking);
        QSignalSpy chosen(&shown.panel, &TColorPanel::ColorChosen);
        shown.panel.SetColor(claYellow);
        const QList<QPointF> steps = {{0.3, 0.3}, {0.5, 0.5}, {0.6, 0.4}};
        QTest::mousePress(&shown.panel, Qt::LeftButton, {}, shown.At(steps[0]));
        for (QPointF step : steps.mid(1))
            QTest::mouseMove(&shown.panel, shown.At(step));
        if (hiddenMidDrag)
            shown.panel.hide();
        QTest::mouseRelease(&shown.panel, Qt::LeftButton, {}, shown.At(steps.last()));
        const QList<TAlphaColor> tracked = Reported(tracking);
        QCOMPARE(QSet<TAlphaColor>(tracked.begin(), tracked.end()).size(), 3);
        QCOMPARE(Reported(chosen), QList<TAlphaColor>{tracked.last()});
        QCOMPARE(received, track ? tracked : Reported(chosen));
    }

    // The wheel goes to the handler, and on to the window beneath when it is not handled.
    void wheelFiresOnMouseWheelAndPassesOnUnhandled() {
        for (const bool handled : {true, false}) {
            ShownPanel shown;
            QObject* sender = nullptr;
            int delta = 0;
            shown.panel.OnMouseWheel = [&](TObject* Sender, TShiftState, int WheelDelta, bool& h) {
                sender = Sender;
                delta = WheelDelta;
                h = handled;
            };
            QWheelEvent wheel({5, 5}, shown.panel.mapToGlobal(QPointF(5, 5)), {}, {0, -120}, {}, {},
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(&shown.panel, &wheel);
            QVERIFY(sender == &shown.panel && delta == -120 && wheel.isAccepted() == handled);
        }
    }
};

QTEST_MAIN(TestColorPanel)
#include "test_color_panel.moc"
