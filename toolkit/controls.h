#pragma once
// The visual controls the windows are designed with, as thin Qt widgets carrying the
// toolkit's names, text settings and events.
#include "toolkit/cached_picture.h"
#include "toolkit/colors.h"
#include "toolkit/events.h"
#include "toolkit/rtl.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QWheelEvent>

// What every control offers the windows under the toolkit's names, which are the only ones the
// windows use: showing and hiding, the hint shown while the pointer rests on it, the name that
// assistive technology reads out, and the keyboard focus.
template <class QtWidget> class TControl : public QtWidget {
public:
    using QtWidget::QtWidget;
    void SetVisible(bool value) { this->setVisible(value); }
    void SetHint(const UnicodeString& value) { this->setToolTip(value); }
    void SetAccessibleName(const UnicodeString& value) { this->setAccessibleName(value); }
    void SetFocus() { this->setFocus(); }
};

// The ring that shows which of our own painted controls has the keyboard focus; a button draws
// it only once the keyboard has moved the focus, so that the window a mouse user sees stays
// as designed.
void DrawFocusRing(QWidget* control);
bool KeyboardFocused(const QWidget* control);

struct TFont {
    int Size = 12;
    bool Bold = false;
    bool Italic = false;
    bool Light = false;
    bool Underline = false;
};

enum class TTextAlign { Center, Leading, Trailing };

// A label as designed: its place in the window's client area, text, font, colour and alignment.
struct TLabelDesign {
    QRect Place;
    UnicodeString Text;
    TFont Font;
    TAlphaColor FontColor = claBlack;
    TTextAlign HorzAlign = TTextAlign::Center;
};

// Font colour of a text control; changing it repaints the control at once.
class TTextSettings {
public:
    explicit TTextSettings(QWidget* control)
        : m_control(control) {}
    TAlphaColor GetFontColor() const { return m_fontColor; }
    void SetFontColor(TAlphaColor color);

private:
    QWidget* m_control;
    TAlphaColor m_fontColor = claBlack;
};

// A label takes no mouse input: clicks and wheel turns reach what lies beneath it. Its text
// stays on one line, centred on its place (or against one side); a text wider than the place
// spills over both sides (or the other side) instead of being cut. A label that must always be
// read whole (the callsign) can shrink its font instead of spilling out of the window, and one
// that shows a file path can wrap it over lines.
class TLabel : public TControl<QLabel> {
public:
    explicit TLabel(QWidget* Owner);
    UnicodeString GetText() const { return m_text; }
    void SetText(const UnicodeString& value);
    // Narrow text, read as UTF-8: the clock sets its texts ten times a second, nine times in
    // ten unchanged, and those are compared without being converted.
    void SetText(const char* value);
    TTextSettings* GetTextSettings() { return &m_textSettings; }
    void SetFont(const TFont& font);
    void SetDesign(const TLabelDesign& design);
    void SetBounds(const QRect& bounds);
    void SetShrinkToFit(bool shrink);
    // Breaks long text over lines inside its place, also after each '/' of a file path.
    void SetWordWrap(bool wrap);
    // A screen reader reads it as "<what>: <text>" (the clock, the callsign), not its bare text.
    void SetSpokenAs(const UnicodeString& what);
    // The room its text takes on one line at its designed font; none when it has no text, or
    // shrinks or wraps it to its place.
    QSize TextRoom() const;

private:
    void ShowText();
    void ScheduleFit();
    void FitText();
    QRect Spilled(int spill) const;
    int FittingPixelSize() const;

    TTextSettings m_textSettings;
    UnicodeString m_text;
    UnicodeString m_spokenAs;
    QRect m_bounds;
    int m_designedPixelSize = 12;
    bool m_shrinkToFit = false;
    bool m_fitPending = false;
};

// Click, double-click and wheel events, and opacity, for both kinds of button. Opacity 0
// draws nothing while the button still takes its events. From the keyboard, Enter clicks as
// Space does, and a button that acts on a double-click acts on either key.
template <class QtButton> class TButtonEvents : public TControl<QtButton> {
public:
    explicit TButtonEvents(QWidget* Owner)
        : TControl<QtButton>(Owner) {
        QObject::connect(this, &QAbstractButton::clicked, this, [this] { Fire(OnClick, this); });
    }
    // An invisible button takes the focus from Tab only: a click would leave a focus ring
    // where the window shows nothing.
    void SetOpacity(double opacity) {
        m_opacity = opacity;
        if (opacity == 0)
            this->setFocusPolicy(Qt::TabFocus);
        this->update();
    }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseWheelEvent OnMouseWheel;

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        QtButton::mouseDoubleClickEvent(e);
        Fire(OnDblClick, this);
    }
    void keyPressEvent(QKeyEvent* e) override {
        const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        if ((enter || e->key() == Qt::Key_Space) && OnDblClick && !e->isAutoRepeat()) {
            Fire(OnDblClick, this);
            return;
        }
        if (enter && !e->isAutoRepeat()) {
            this->click();
            return;
        }
        QtButton::keyPressEvent(e);
    }
    void wheelEvent(QWheelEvent* e) override {
        bool handled = false;
        Fire(OnMouseWheel, this, TShiftState::None, e->angleDelta().y(), handled);
        e->setAccepted(handled);
    }
    bool Painted() const { return m_opacity > 0; }

private:
    double m_opacity = 1.0;
};

class TButton : public TButtonEvents<QPushButton> {
public:
    explicit TButton(QWidget* Owner);
    UnicodeString GetText() const { return text(); }
    void SetText(const UnicodeString& value) { setText(value); }

protected:
    void paintEvent(QPaintEvent* e) override;
};

// A button that shows nothing but its colour; like an invisible one, it takes the focus from
// Tab only.
class TColorButton : public TButtonEvents<QAbstractButton> {
public:
    explicit TColorButton(QWidget* Owner);
    TAlphaColor GetColor() const { return m_color; }
    void SetColor(TAlphaColor color);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TAlphaColor m_color = claNull;
};

// A filled pill shape behind other controls; takes no mouse input. Its picture is kept, for
// the clock in front of it repaints every second.
class TRoundRect : public TControl<QWidget> {
public:
    TRoundRect(QWidget* Owner, TAlphaColor fill);
    void SetFill(TAlphaColor fill);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TAlphaColor m_fill;
    TCachedPicture m_picture{false};
};

QColor ToQColor(TAlphaColor color);
Qt::Alignment ToQAlignment(TTextAlign align);
