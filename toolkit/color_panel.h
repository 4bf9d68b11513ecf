#pragma once
// TColorPanel: a colour picker with a saturation/brightness field and its small circle, a
// hue slider at the side and an opacity slider at the bottom. It reports a 32-bit ARGB
// colour while the operator drags (ColorTracking) and once when the operator lets go
// (ColorChosen). From the keyboard, once it has the focus: the arrow keys move the small circle
// (Left/Right the saturation, Up/Down the brightness), Page Up/Page Down the hue and
// Shift+Left/Right the opacity, each step reported as a whole choice; Enter keeps the colour and
// Escape takes back what was chosen since the panel showed, and either hides the panel.
#include "toolkit/colors.h"
#include "toolkit/controls.h"
#include "toolkit/events.h"

#include <QWidget>

class TColorPanel : public TControl<QWidget> {
    Q_OBJECT
public:
    explicit TColorPanel(QWidget* Owner);

    TAlphaColor GetColor() const;
    // Sets the colour shown; reports nothing.
    void SetColor(TAlphaColor color);

    TMouseWheelEvent OnMouseWheel;

signals:
    void ColorTracking(TAlphaColor color);
    void ColorChosen(TAlphaColor color);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    enum class Part { None, Field, Hue, Opacity };
    Part PartAt(QPointF p) const;
    void DragTo(QPointF p);
    void FinishDrag();
    bool Step(const QKeyEvent& key);
    void Report(TAlphaColor color);
    void ShowValueAsName();
    QRectF FieldRect() const;
    QRectF HueRect() const;
    QRectF OpacityRect() const;
    QPointF FieldPoint() const;

    float m_hue = 0;        // 0..1
    float m_saturation = 0; // 0..1
    float m_value = 0;      // 0..1
    float m_alpha = 1;      // 0..1
    Part m_dragging = Part::None;
    TAlphaColor m_colorWhenShown = 0;
};
