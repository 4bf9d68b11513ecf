#include "toolkit/color_panel.h"

#include "toolkit/accessible_role.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

// Part sizes follow the widget's size, so the panel keeps its proportions when scaled.
double BarThickness(QSizeF size) {
    return std::clamp(std::min(size.width(), size.height()) * 0.11, 8.0, 32.0);
}

float Fraction(double position, double start, double length) {
    if (length <= 0)
        return 0;
    return static_cast<float>(std::clamp((position - start) / length, 0.0, 1.0));
}

QPainterPath Rounded(const QRectF& area, double radius) {
    QPainterPath shape;
    shape.addRoundedRect(area, radius, radius);
    return shape;
}

QLinearGradient Ramp(QPointF from, QPointF to, const QColor& start, const QColor& end) {
    QLinearGradient ramp(from, to);
    ramp.setColorAt(0, start);
    ramp.setColorAt(1, end);
    return ramp;
}

QBrush Checkerboard(double bar) {
    const int cell = std::max(2, qRound(bar / 3));
    QImage tile(2 * cell, 2 * cell, QImage::Format_RGB32);
    tile.fill(Qt::white);
    QPainter painter(&tile);
    const QColor grey(204, 204, 204);
    painter.fillRect(0, 0, cell, cell, grey);
    painter.fillRect(cell, cell, cell, cell, grey);
    painter.end();
    return QBrush(tile);
}

// Lets the alpha of `fill` show against the usual light and grey squares.
void FillOverCheckerboard(QPainter& painter, const QPainterPath& shape, const QBrush& fill,
                          double bar) {
    painter.setBrushOrigin(shape.boundingRect().topLeft());
    painter.fillPath(shape, Checkerboard(bar));
    painter.fillPath(shape, fill);
}

// A white line edged in dark shows on light and dark colours alike.
void PaintMarker(QPainter& painter, const QPainterPath& shape) {
    painter.strokePath(shape, QPen(QColor(0, 0, 0, 170), 3.5));
    painter.strokePath(shape, QPen(Qt::white, 1.5));
}

void PaintBackdrop(QPainter& painter, const QRectF& area, const QPalette& palette, double radius) {
    painter.setPen(QPen(palette.color(QPalette::Mid), 1));
    painter.setBrush(palette.color(QPalette::Window));
    painter.drawRoundedRect(area.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

// Pure hue, whitened towards the left and darkened towards the bottom: exactly the colours
// that a pick at each point gives.
void PaintField(QPainter& painter, const QRectF& field, float hue, double radius) {
    const QPainterPath shape = Rounded(field, radius);
    painter.fillPath(shape, QColor::fromHsvF(hue, 1, 1));
    painter.fillPath(shape, Ramp(field.topLeft(), field.topRight(), QColor(255, 255, 255, 255),
                                 QColor(255, 255, 255, 0)));
    painter.fillPath(
        shape, Ramp(field.topLeft(), field.bottomLeft(), QColor(0, 0, 0, 0), QColor(0, 0, 0, 255)));
}

void PaintHueSlider(QPainter& painter, const QRectF& slider, double radius) {
    QLinearGradient hues(slider.topLeft(), slider.bottomLeft());
    constexpr int kSectors = 6;
    for (int step = 0; step <= kSectors; ++step)
        hues.setColorAt(double(step) / kSectors, QColor::fromHsvF(float(step) / kSectors, 1, 1));
    painter.fillPath(Rounded(slider, radius), hues);
}

void PaintOpacitySlider(QPainter& painter, const QRectF& slider, QColor color, double bar) {
    const QColor opaque = QColor(color.red(), color.green(), color.blue());
    const QColor clear = QColor(color.red(), color.green(), color.blue(), 0);
    FillOverCheckerboard(painter, Rounded(slider, bar / 5),
                         Ramp(slider.topLeft(), slider.topRight(), clear, opaque), bar);
}

QPainterPath HueHandle(const QRectF& slider, float hue) {
    const double y = slider.top() + hue * slider.height();
    return Rounded(QRectF(slider.left() - 2, y - 2.5, slider.width() + 4, 5), 2.5);
}

QPainterPath OpacityHandle(const QRectF& slider, float alpha) {
    const double x = slider.left() + alpha * slider.width();
    return Rounded(QRectF(x - 2.5, slider.top() - 2, 5, slider.height() + 4), 2.5);
}

QPainterPath Circle(QPointF centre, double radius) {
    QPainterPath shape;
    shape.addEllipse(centre, radius, radius);
    return shape;
}

} // namespace

TColorPanel::TColorPanel(QWidget* Owner)
    : TControl<QWidget>(Owner) {
    SetAccessibleRole(this, TAccessibleRole::ColorChooser);
    // A click leaves no focus ring on the operator's picture.
    setFocusPolicy(Qt::TabFocus);
    ShowValueAsName();
    setToolTip(QStringLiteral("Hue: the slider at the side\n"
                              "Opacity: the slider at the bottom\n"
                              "Saturation and brightness: the small circle\n"
                              "Roll the mouse wheel to close"));
}

TAlphaColor TColorPanel::GetColor() const {
    return QColor::fromHsvF(m_hue, m_saturation, m_value, m_alpha).rgba();
}

void TColorPanel::SetColor(TAlphaColor color) {
    const QColor hsv = QColor::fromRgba(color).toHsv();
    // A grey has no hue and black no saturation either: keep the previous ones, so that the
    // sliders stay put and the next pick starts from the hue last shown.
    if (hsv.hsvHueF() >= 0)
        m_hue = hsv.hsvHueF();
    if (hsv.valueF() > 0)
        m_saturation = hsv.hsvSaturationF();
    m_value = hsv.valueF();
    m_alpha = hsv.alphaF();
    ShowValueAsName();
    update();
}

void TColorPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double bar = BarThickness(size());
    const QRectF hue = HueRect();
    const QRectF opacity = OpacityRect();
    const QColor color = QColor::fromRgba(GetColor());
    PaintBackdrop(painter, rect(), palette(), bar / 2);
    PaintField(painter, FieldRect(), m_hue, bar / 5);
    PaintHueSlider(painter, hue, bar / 5);
    PaintOpacitySlider(painter, opacity, color, bar);
    const QRectF swatch(hue.left(), opacity.top(), hue.width(), opacity.height());
    FillOverCheckerboard(painter, Rounded(swatch, bar / 5), color, bar);
    PaintMarker(painter, HueHandle(hue, m_hue));
    PaintMarker(painter, OpacityHandle(opacity, m_alpha));
    PaintMarker(painter, Circle(FieldPoint(), std::max(3.5, bar * 0.3)));
    painter.end();
    if (hasFocus())
        DrawFocusRing(this);
}

void TColorPanel::keyPressEvent(QKeyEvent* e) {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (e->key() == Qt::Key_Escape) {
        SetColor(m_colorWhenShown);
        Report(m_colorWhenShown);
    }
    if (enter || e->key() == Qt::Key_Escape) {
        setVisible(false);
        return;
    }
    if (!Step(*e)) {
        QWidget::keyPressEvent(e);
        return;
    }
    ShowValueAsName();
    update();
    Report(GetColor());
}

// A twentieth of the way for the circle and the opacity, ten degrees of hue, going round.
bool TColorPanel::Step(const QKeyEvent& key) {
    constexpr float kStep = 0.05F;
    const auto nudge = [](float& value, float by) { value = std::clamp(value + by, 0.0F, 1.0F); };
    const bool shift = key.modifiers() & Qt::ShiftModifier;
    switch (key.key()) {
    case Qt::Key_Left:
        nudge(shift ? m_alpha : m_saturation, -kStep);
        return true;
    case Qt::Key_Right:
        nudge(shift ? m_alpha : m_saturation, kStep);
        return true;
    case Qt::Key_Up:
        nudge(m_value, kStep);
        return true;
    case Qt::Key_Down:
        nudge(m_value, -kStep);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        m_hue = std::fmod(m_hue + (key.key() == Qt::Key_PageUp ? 1.0F : 35.0F) / 36 + 1, 1.0F);
        return true;
    default:
        return false;
    }
}

void TColorPanel::Report(TAlphaColor color) {
    emit ColorTracking(color);
    emit ColorChosen(color);
}

// What a screen reader says of it, and again as it changes.
void TColorPanel::ShowValueAsName() {
    const auto percent = [](float value) { return qRound(value * 100); };
    setAccessibleName(QStringLiteral("Colour picker: hue %1 degrees, saturation %2 %, brightness "
                                     "%3 %, opacity %4 %")
                          .arg(qRound(m_hue * 360) % 360)
                          .arg(percent(m_saturation))
                          .arg(percent(m_value))
                          .arg(percent(m_alpha)));
}

void TColorPanel::showEvent(QShowEvent* e) {
    m_colorWhenShown = GetColor();
    QWidget::showEvent(e);
}

void TColorPanel::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(e);
        return;
    }
    m_dragging = PartAt(e->position());
    DragTo(e->position());
}

void TColorPanel::mouseMoveEvent(QMouseEvent* e) {
    DragTo(e->position());
}

void TColorPanel::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        FinishDrag();
}

void TColorPanel::wheelEvent(QWheelEvent* e) {
    bool handled = false;
    Fire(OnMouseWheel, this, TShiftState::None, e->angleDelta().y(), handled);
    e->setAccepted(handled);
}

// A panel hidden mid-drag (a wheel turn while the button is down) gets no release, yet the
// operator has let go of the choice.
void TColorPanel::hideEvent(QHideEvent* e) {
    FinishDrag();
    QWidget::hideEvent(e);
}

// Every point belongs to the nearest part, so a press a little off a slider still takes it.
TColorPanel::Part TColorPanel::PartAt(QPointF p) const {
    const QRectF field = FieldRect();
    const double halfGap = BarThickness(size()) / 4;
    const bool beside = p.x() >= field.right() + halfGap;
    const bool below = p.y() >= field.bottom() + halfGap;
    if (beside && below)
        return Part::None;
    if (beside)
        return Part::Hue;
    if (below)
        return Part::Opacity;
    return Part::Field;
}

void TColorPanel::DragTo(QPointF p) {
    const QRectF field = FieldRect();
    const QRectF hue = HueRect();
    const QRectF opacity = OpacityRect();
    switch (m_dragging) {
    case Part::None:
        return;
    case Part::Field:
        m_saturation = Fraction(p.x(), field.left(), field.width());
        m_value = 1 - Fraction(p.y(), field.top(), field.height());
        break;
    case Part::Hue:
        m_hue = Fraction(p.y(), hue.top(), hue.height());
        break;
    case Part::Opacity:
        m_alpha = Fraction(p.x(), opacity.left(), opacity.width());
        break;
    }
    ShowValueAsName();
    update();
    emit ColorTracking(GetColor());
}

void TColorPanel::FinishDrag() {
    if (m_dragging == Part::None)
        return;
    m_dragging = Part::None;
    emit ColorChosen(GetColor());
}

// Field, hue slider (beside it) and opacity slider (below it) share the widget with a margin
// of half a bar round them and between them, so the markers are never cut off.
QRectF TColorPanel::FieldRect() const {
    const double bar = BarThickness(size());
    const double margin = bar / 2;
    const double besideField = margin + bar + margin + margin;
    return {margin, margin, std::max(0.0, width() - besideField),
            std::max(0.0, height() - besideField)};
}

QRectF TColorPanel::HueRect() const {
    const QRectF field = FieldRect();
    const double bar = BarThickness(size());
    return {field.right() + bar / 2, field.top(), bar, field.height()};
}

QRectF TColorPanel::OpacityRect() const {
    const QRectF field = FieldRect();
    const double bar = BarThickness(size());
    return {field.left(), field.bottom() + bar / 2, field.width(), bar};
}

QPointF TColorPanel::FieldPoint() const {
    const QRectF field = FieldRect();
    return {field.left() + m_saturation * field.width(),
            field.top() + (1 - m_value) * field.height()};
}
