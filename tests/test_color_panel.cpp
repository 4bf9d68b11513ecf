#include "app/toolkit/bindings.h"
#include "app/toolkit/color_panel.h"

#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

namespace {

const QSize mainWindowSize(329, 193);
const QSize alertSize(393, 145);

bool Near(QRgb actual, QRgb expected, int tolerance) {
    return qAbs(qRed(actual) - qRed(expected)) <= tolerance &&
           qAbs(qGreen(actual) - qGreen(expected)) <= tolerance &&
           qAbs(qBlue(actual) - qBlue(expected)) <= tolerance &&
           qAbs(qAlpha(actual) - qAlpha(expected)) <= tolerance;
}

#define COMPARE_COLOR(actual, expected, tolerance)                                                 \
    QVERIFY2(Near(actual, expected, tolerance),                                                    \
             QByteArray::number(actual, 16) + " instead of " + QByteArray::number(expected, 16))

QList<TAlphaColor> Reported(const QSignalSpy& spy) {
    QList<TAlphaColor> colors;
    for (const QList<QVariant>& arguments : spy)
        colors.append(arguments.at(0).toUInt());
    return colors;
}

// A panel at one of its designed sizes, shown as the windows show it; points are given as
// fractions of its size.
struct ShownPanel {
    explicit ShownPanel(QSize size = mainWindowSize) {
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
    // A grey or black has no hue, so the previous hue stays for the next pick (here the
    // field's top right corner: full saturation and brightness).
    void setColorKeepsAMissingHue_data() {
        QTest::addColumn<TAlphaColor>("color");
        QTest::addColumn<TAlphaColor>("pickedTopRight");
        QTest::newRow("clear yellow") << TAlphaColor(0x00FFFF00) << TAlphaColor(0x00FFFF00);
        QTest::newRow("half orange") << TAlphaColor(0x80FF8000) << TAlphaColor(0x80FF8000);
        QTest::newRow("grey") << TAlphaColor(0xFF808080) << claBlue;
        QTest::newRow("black") << TAlphaColor(0xFF000000) << claBlue;
    }
    void setColorKeepsAMissingHue() {
        QFETCH(TAlphaColor, color);
        QFETCH(TAlphaColor, pickedTopRight);
        ShownPanel shown;
        shown.panel.SetColor(claBlue);
        shown.panel.SetColor(color);
        COMPARE_COLOR(shown.panel.GetColor(), color, 1);
        shown.Drag({0.3, 0.3}, {{1.5, -0.5}});
        COMPARE_COLOR(shown.panel.GetColor(), pickedTopRight, 1);
    }

    // Each part sets its own component and keeps the others; a drag past the part's edge
    // stops at the edge.
    void dragSetsOnePartClampedToItsEdge_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<TAlphaColor>("expected");
        const TAlphaColor mutedBlue = 0x80333399;
        const struct {
            const char* name;
            QPointF from, to;
            TAlphaColor expected;
        } rows[] = {
            {"field top right", {0.3, 0.3}, {1.5, -0.5}, 0x800000FF},
            {"field bottom left", {0.3, 0.3}, {-0.5, 1.5}, 0x80000000},
            {"hue top keeps saturation and value", {0.995, 0.3}, {0.995, -0.5}, 0x80993333},
            {"opacity left end", {0.3, 0.99}, {-0.5, 0.99}, mutedBlue & 0x00FFFFFF},
            {"opacity right end", {0.3, 0.99}, {1.5, 0.99}, mutedBlue | 0xFF000000},
        };
        for (QSize size : {mainWindowSize, alertSize})
            for (const auto& row : rows)
                QTest::addRow("%s %dx%d", row.name, size.width(), size.height())
                    << size << row.from << row.to << row.expected;
    }
    void dragSetsOnePartClampedToItsEdge() {
        QFETCH(QSize, size);
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        QFETCH(TAlphaColor, expected);
        ShownPanel shown(size);
        shown.panel.SetColor(0x80333399);
        shown.Drag(from, {to});
        COMPARE_COLOR(shown.panel.GetColor(), expected, 1);
    }

    // Regression: a panel hidden mid-drag gets no release, yet must report the choice once.
    void hidingMidDragChoosesOnce() {
        ShownPanel shown;
        QSignalSpy chosen(&shown.panel, &TColorPanel::ColorChosen);
        QTest::mousePress(&shown.panel, Qt::LeftButton, {}, shown.At({0.3, 0.3}));
        shown.panel.hide();
        QCOMPARE(Reported(chosen), QList<TAlphaColor>{shown.panel.GetColor()});
        QTest::mouseRelease(&shown.panel, Qt::LeftButton, {}, shown.At({0.3, 0.3}));
        QCOMPARE(chosen.count(), 1);
    }

    // What the field shows at a point is the colour that a press there picks.
    void fieldShowsWhatAPressPicks_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("main window") << mainWindowSize;
        QTest::newRow("alert") << alertSize;
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

    // A drag reports each step, then the last one once as chosen; a binding with tracking
    // follows every step, one without takes only the choice, and neither hears SetColor.
    void dragReportsAndBindingFollows_data() {
        QTest::addColumn<bool>("track");
        QTest::newRow("tracking") << true;
        QTest::newRow("not tracking") << false;
    }
    void dragReportsAndBindingFollows() {
        QFETCH(bool, track);
        ShownPanel shown;
        TBindingsList list(nullptr);
        QList<TAlphaColor> received;
        (new TLinkControlToProperty(&list))
            ->Bind(
                &shown.panel, [&](TAlphaColor c) { received << c; }, track);
        QSignalSpy tracking(&shown.panel, &TColorPanel::ColorTracking);
        QSignalSpy chosen(&shown.panel, &TColorPanel::ColorChosen);

        shown.panel.SetColor(claYellow);
        shown.Drag({0.3, 0.3}, {{0.5, 0.5}, {0.6, 0.4}});
        const QList<TAlphaColor> tracked = Reported(tracking);
        QCOMPARE(QSet<TAlphaColor>(tracked.begin(), tracked.end()).size(), 3);
        QCOMPARE(Reported(chosen), QList<TAlphaColor>{tracked.last()});
        QCOMPARE(received, track ? tracked : Reported(chosen));
    }

    void wheelFiresOnMouseWheelAndPassesOnUnhandled_data() {
        QTest::addColumn<bool>("handled");
        QTest::newRow("handled") << true;
        QTest::newRow("not handled") << false;
    }
    void wheelFiresOnMouseWheelAndPassesOnUnhandled() {
        QFETCH(bool, handled);
        ShownPanel shown;
        QObject* sender = nullptr;
        int delta = 0;
        shown.panel.OnMouseWheel = [&](TObject* Sender, TShiftState, int WheelDelta, bool& h) {
            sender = Sender;
            delta = WheelDelta;
            h = handled;
        };
        const QPointF centre = QRectF(shown.panel.rect()).center();
        QWheelEvent wheel(centre, shown.panel.mapToGlobal(centre), {}, {0, -120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&shown.panel, &wheel);
        QCOMPARE(sender, &shown.panel);
        QCOMPARE(delta, -120);
        QCOMPARE(wheel.isAccepted(), handled);
    }
};

QTEST_MAIN(TestColorPanel)
#include "test_color_panel.moc"
