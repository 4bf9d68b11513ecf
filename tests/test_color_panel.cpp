#include "app/toolkit/bindings.h"
#include "app/toolkit/color_panel.h"

#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

namespace {

const QSize mainWindowSize(329, 193);
const QSize alertSize(393, 145);

bool Near(TAlphaColor actual, TAlphaColor expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = int((actual >> shift) & 0xFF);
        const int b = int((expected >> shift) & 0xFF);
        if (std::abs(a - b) > tolerance)
            return false;
    }
    return true;
}

QByteArray Hex(TAlphaColor color) {
    return "0x" + QByteArray::number(color, 16).toUpper();
}

#define COMPARE_COLOR(actual, expected, tolerance)                                                 \
    QVERIFY2(Near(actual, expected, tolerance), Hex(actual) + " instead of " + Hex(expected))

QList<TAlphaColor> Reported(const QSignalSpy& spy) {
    QList<TAlphaColor> colors;
    for (const QList<QVariant>& arguments : spy)
        colors.append(arguments.at(0).toUInt());
    return colors;
}

QPoint At(const QWidget& widget, double x, double y) {
    return {qRound(widget.width() * x), qRound(widget.height() * y)};
}

void Drag(QWidget& widget, QPoint from, const QList<QPoint>& through) {
    QTest::mousePress(&widget, Qt::LeftButton, {}, from);
    for (QPoint point : through)
        QTest::mouseMove(&widget, point);
    QTest::mouseRelease(&widget, Qt::LeftButton, {}, through.isEmpty() ? from : through.last());
}

// A panel at one of its designed sizes, shown as the windows show it.
struct ShownPanel {
    explicit ShownPanel(QSize size = mainWindowSize) {
        panel.resize(size);
        panel.show();
    }
    TColorPanel panel{nullptr};
};

} // namespace

class TestColorPanel : public QObject {
    Q_OBJECT
private slots:
    void setColorRoundTripsSilently_data() {
        QTest::addColumn<TAlphaColor>("color");
        QTest::newRow("opaque blue") << TAlphaColor(0xFF0000FF);
        QTest::newRow("clear yellow") << TAlphaColor(0x00FFFF00);
        QTest::newRow("half orange") << TAlphaColor(0x80FF8000);
        QTest::newRow("white") << TAlphaColor(0xFFFFFFFF);
        QTest::newRow("black") << TAlphaColor(0xFF000000);
        QTest::newRow("grey") << TAlphaColor(0xFF808080);
    }
    void setColorRoundTripsSilently() {
        QFETCH(TAlphaColor, color);
        ShownPanel shown;
        QSignalSpy tracking(&shown.panel, &TColorPanel::ColorTracking);
        QSignalSpy chosen(&shown.panel, &TColorPanel::ColorChosen);
        shown.panel.SetColor(color);
        COMPARE_COLOR(shown.panel.GetColor(), color, 1);
        QCOMPARE(tracking.count() + chosen.count(), 0);
    }

    void colorWithoutHueKeepsPreviousHue_data() {
        QTest::addColumn<TAlphaColor>("color");
        QTest::newRow("grey") << TAlphaColor(0xFF808080);
        QTest::newRow("white") << TAlphaColor(0xFFFFFFFF);
        QTest::newRow("black") << TAlphaColor(0xFF000000);
    }
    void colorWithoutHueKeepsPreviousHue() {
        QFETCH(TAlphaColor, color);
        ShownPanel shown;
        shown.panel.SetColor(claBlue);
        shown.panel.SetColor(color);
        const QSize size = shown.panel.size();
        Drag(shown.panel, At(shown.panel, 0.3, 0.3), {QPoint(size.width() + 50, -50)});
        COMPARE_COLOR(shown.panel.GetColor(), claBlue, 1);
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
            {"field top left", {0.3, 0.3}, {-0.5, -0.5}, 0x80FFFFFF},
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
        Drag(shown.panel, At(shown.panel, from.x(), from.y()), {At(shown.panel, to.x(), to.y())});
        COMPARE_COLOR(shown.panel.GetColor(), expected, 1);
    }

    void dragTracksEachStepAndChoosesOnceOnRelease() {
        ShownPanel shown;
        QSignalSpy tracking(&shown.panel, &TColorPanel::ColorTracking);
        QSignalSpy chosen(&shown.panel, &TColorPanel::ColorChosen);
        QTest::mousePress(&shown.panel, Qt::LeftButton, {}, At(shown.panel, 0.3, 0.3));
        QTest::mouseMove(&shown.panel, At(shown.panel, 0.5, 0.5));
        QTest::mouseMove(&shown.panel, At(shown.panel, 0.6, 0.4));
        QCOMPARE(chosen.count(), 0);
        QTest::mouseRelease(&shown.panel, Qt::LeftButton, {}, At(shown.panel, 0.6, 0.4));

        const QList<TAlphaColor> tracked = Reported(tracking);
        QCOMPARE(tracked.size(), 3);
        QCOMPARE(QSet<TAlphaColor>(tracked.begin(), tracked.end()).size(), 3);
        QCOMPARE(Reported(chosen), QList<TAlphaColor>{tracked.last()});
        QCOMPARE(shown.panel.GetColor(), tracked.last());
    }

    void hidingMidDragChoosesOnce() {
        ShownPanel shown;
        QSignalSpy chosen(&shown.panel, &TColorPanel::ColorChosen);
        QTest::mousePress(&shown.panel, Qt::LeftButton, {}, At(shown.panel, 0.3, 0.3));
        shown.panel.hide();
        QCOMPARE(Reported(chosen), QList<TAlphaColor>{shown.panel.GetColor()});
        QTest::mouseRelease(&shown.panel, Qt::LeftButton, {}, At(shown.panel, 0.3, 0.3));
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
        for (QPointF fraction : {QPointF(0.1, 0.1), QPointF(0.4, 0.2), QPointF(0.6, 0.6),
                                 QPointF(0.2, 0.7), QPointF(0.5, 0.45)}) {
            const QPoint point = At(shown.panel, fraction.x(), fraction.y());
            Drag(shown.panel, point, {});
            COMPARE_COLOR(image.pixel(point), shown.panel.GetColor(), 4);
        }
    }

    void bindingFollowsTrackingOrTakesOnlyTheChoice_data() {
        QTest::addColumn<bool>("track");
        QTest::newRow("tracking") << true;
        QTest::newRow("not tracking") << false;
    }
    void bindingFollowsTrackingOrTakesOnlyTheChoice() {
        QFETCH(bool, track);
        ShownPanel shown;
        TBindingsList list(nullptr);
        QList<TAlphaColor> received;
        auto* link = new TLinkControlToProperty(&list);
        link->Bind(
            &shown.panel, [&](TAlphaColor c) { received.append(c); }, track);
        QSignalSpy tracking(&shown.panel, &TColorPanel::ColorTracking);
        QSignalSpy chosen(&shown.panel, &TColorPanel::ColorChosen);

        shown.panel.SetColor(claYellow);
        QVERIFY(received.isEmpty());
        Drag(shown.panel, At(shown.panel, 0.3, 0.3),
             {At(shown.panel, 0.5, 0.5), At(shown.panel, 0.4, 0.6)});
        QCOMPARE(received, Reported(track ? tracking : chosen));
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
