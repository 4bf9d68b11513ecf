// The colour panel at the sizes the windows give it, driven by presses and drags given as
// fractions of its size.
#include "toolkit/color_panel.h"

#include <QtTest>

namespace {

const QSize kMainWindowSize(329, 193);
const QSize kAlertSize(393, 145);

// The largest difference of one channel: a press picks from a field drawn with rounding.
int Distance(TAlphaColor a, TAlphaColor b) {
    return std::max({qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)),
                     qAbs(qBlue(a) - qBlue(b)), qAbs(qAlpha(a) - qAlpha(b))});
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
    // at the edge. A grey has no hue, so the hue set before stays for the next pick.
    void drag_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<TAlphaColor>("color");
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<TAlphaColor>("expected");
        const TAlphaColor mutedBlue = 0x80333399;
        const QPointF field(0.3, 0.3), hue(0.995, 0.3), opacity(0.3, 0.99), topRight(1.5, -0.5);
        const struct {
            const char* name;
            TAlphaColor color;
            QPointF from, to;
            TAlphaColor expected;
        } rows[] = {
            {"field top right", mutedBlue, field, topRight, 0x800000FF},
            {"field bottom left", mutedBlue, field, {-0.5, 1.5}, 0x80000000},
            {"hue top keeps saturation and value", mutedBlue, hue, {0.995, -0.5}, 0x80993333},
            {"opacity left end", mutedBlue, opacity, {-0.5, 0.99}, mutedBlue & 0x00FFFFFF},
            {"opacity right end", mutedBlue, opacity, {1.5, 0.99}, mutedBlue | 0xFF000000},
            {"clear yellow", 0x00FFFF00, field, topRight, 0x00FFFF00},
            {"grey keeps the hue", 0xFF808080, field, topRight, claBlue},
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
        QVERIFY(Distance(shown.panel.GetColor(), color) <= 1);
        shown.Drag(from, {to});
        QVERIFY2(Distance(shown.panel.GetColor(), expected) <= 1,
                 QByteArray::number(shown.panel.GetColor(), 16));
    }

    // What the field shows at a point is the colour that a press there picks, also when the
    // panel is drawn larger than designed.
    void fieldShowsWhatAPressPicks() {
        ShownPanel shown(QSize(658, 386));
        shown.panel.SetColor(0xFFFF0000);
        const QImage image = shown.panel.grab().toImage();
        for (QPointF fraction : {QPointF(0.1, 0.1), QPointF(0.6, 0.6), QPointF(0.2, 0.7)}) {
            shown.Drag(fraction);
            QVERIFY(Distance(image.pixel(shown.At(fraction)), shown.panel.GetColor()) <= 4);
        }
    }

    // Each key a whole choice; the hue goes round; Escape takes back every step since the
    // panel showed, and it and Enter put the panel away.
    void keys() {
        ShownPanel shown;
        shown.panel.SetColor(0xFFFF0000);
        shown.panel.hide();
        shown.panel.show();
        QList<TAlphaColor> chosen;
        connect(&shown.panel, &TColorPanel::ColorChosen, [&](TAlphaColor c) { chosen << c; });
        QTest::keyClick(&shown.panel, Qt::Key_Down);
        QTest::keyClick(&shown.panel, Qt::Key_Left);
        QTest::keyClick(&shown.panel, Qt::Key_PageDown);
        QTest::keyClick(&shown.panel, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(chosen.size(), 4);
        QVERIFY2(Distance(chosen.last(), 0xF2F20C32) <= 1, QByteArray::number(chosen.last(), 16));
        QVERIFY(shown.panel.accessibleName().contains("hue 350 degrees, saturation 95 %"));
        QTest::keyClick(&shown.panel, Qt::Key_Escape);
        QCOMPARE(chosen.last(), TAlphaColor(0xFFFF0000));
        QVERIFY(shown.panel.isHidden());
        shown.panel.show();
        QTest::keyClick(&shown.panel, Qt::Key_Up);
        QTest::keyClick(&shown.panel, Qt::Key_Return);
        QVERIFY(shown.panel.isHidden());
        QCOMPARE(shown.panel.GetColor(), TAlphaColor(0xFFFF0000));
    }
};

QTEST_MAIN(TestColorPanel)
#include "test_color_panel.moc"
