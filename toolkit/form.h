#pragma once
// TForm: a top-level window with the semantics the windows are written against: outer-frame
// geometry, create/close/activate/deactivate events, modal showing with a nested loop,
// stay-on-top, a painted fill and controls laid out in designed coordinates.
#include "toolkit/cached_picture.h"
#include "toolkit/colors.h"
#include "toolkit/events.h"
#include "toolkit/rtl.h"
#include "toolkit/screen_placement.h"

#include <QMargins>
#include <QRect>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

class QEventLoop;
class TButton;
class TLabel;
class TPopupMenu;
struct TLabelDesign;

enum class TAlignLayout {
    None,       // designed place, never moved
    Scale,      // designed place scaled with the client area
    Client,     // the whole client area
    Horizontal, // full client width at the designed (scaled) height band
};

enum class TFormStyle { Normal, StayOnTop };
enum class TFormBorderStyle { Sizeable, Single };
// No window offers maximising.
enum class TWindowState { wsNormal, wsMinimized };

struct TGradientStop {
    TAlphaColor Color;
    double Offset;
};

// A linear fill in coordinates relative to the window (0..1 on each axis).
struct TGradient {
    std::vector<TGradientStop> Stops;
    QPointF StartPosition;
    QPointF StopPosition;
};

// A named fill kept with a window's design; the window paints itself with it.
class TBrushObject : public QObject {
public:
    TBrushObject(QObject* Owner, const TGradient& brush)
        : QObject(Owner)
        , m_brush(brush) {}
    const TGradient& GetBrush() const { return m_brush; }

private:
    TGradient m_brush;
};

struct TFormDesign {
    UnicodeString Caption;
    int ClientWidth = 0;
    int ClientHeight = 0;
    int Left = 0;
    int Top = 0;
    TFormStyle FormStyle = TFormStyle::Normal;
    TFormBorderStyle BorderStyle = TFormBorderStyle::Sizeable;
    // False for a window that comes up while the operator is busy in another program: it is
    // shown and raised without taking the keyboard focus from that program.
    bool ShowActivates = true;
};

class TForm : public QWidget {
public:
    explicit TForm(TComponent* Owner);
    ~TForm() override;

    // Constructs a window and raises its create event, as construction does in the toolkit.
    template <class Form> static Form* Construct(TComponent* Owner) {
        auto* form = new Form(Owner);
        form->DoCreate();
        return form;
    }
    void DoCreate();
    // Opens a window the way one window opens another: constructed over its owner (its create
    // event runs), stored in its instance variable, shown modally until it has closed, and
    // destroyed; the variable holds null again afterwards.
    template <class Form> static void OpenModal(Form*& variable, TComponent* Owner) {
        variable = Construct<Form>(Owner);
        variable->ShowModal();
        delete variable;
        variable = nullptr;
    }

    int GetLeft() const;
    int GetTop() const;
    int GetWidth() const;
    int GetHeight() const;
    void SetLeft(int value);
    void SetTop(int value);
    void SetWidth(int value);
    void SetHeight(int value);

    bool GetVisible() const { return isVisible(); }
    // Showing brings a minimised window back too, raised and, unless its design says otherwise,
    // activated: a window shown is a window seen.
    void SetVisible(bool value);
    TWindowState GetWindowState() const;
    // Back to normal, a shown window is also raised (and activated) as SetVisible does.
    void SetWindowState(TWindowState value);
    void Close() { close(); }
    int ShowModal();
    // The hint shown while the pointer rests on the window's own background and labels.
    void SetHint(const UnicodeString& value) { setToolTip(value); }
    // The menu a right click on the window opens, and the Menu key or Shift+F10 beside the
    // control with the focus.
    void SetPopupMenu(TPopupMenu* menu) { m_popupMenu = menu; }

    // The application makes its first form the main form: closing that one frees it instead of
    // hiding it, and then runs `closed`, which ends the event loop.
    void MakeMainForm(std::function<void()> closed) { m_mainFormClosed = std::move(closed); }

    TNotifyEvent OnCreate;
    TCloseEvent OnClose;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnHide;
    // The shown window was moved or resized (by the operator, or as it was placed).
    TNotifyEvent OnPlaceChange;

protected:
    void ApplyDesign(const TFormDesign& design);
    void SetFill(const TGradient& fill) { m_gradient = fill; }
    void SetFill(TAlphaColor color) { m_solid = color; }
    // Places a control in designed client coordinates; the form keeps it there as it resizes.
    void Place(QWidget* control, QRect designed, TAlignLayout align = TAlignLayout::Scale);
    // A placed control's new designed place (a badge that fits its text).
    void MovePlaced(QWidget* control, QRect designed);
    TLabel* AddLabel(const TLabelDesign& design, TAlignLayout align = TAlignLayout::Scale);
    TButton* AddButton(const UnicodeString& text, QRect designed,
                       TAlignLayout align = TAlignLayout::Scale);
    // The controls take the keyboard focus in the order given.
    static void SetTabOrder(std::initializer_list<QWidget*> controls);

    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    struct Placement {
        QWidget* control;
        QRect designed;
        TAlignLayout align;
    };

    QMargins FrameMargins() const;
    TFrame Outer() const;
    void SetSide(std::int64_t TFrame::*side, int value);
    void SetOuter(const TFrame& outer);
    void ApplyGeometry();
    QRect ShownOuter(const QMargins& frame) const;
    QSize NeededOuter(const QMargins& frame) const;
    QSize NeededClient() const;
    void KeepNeededSize();
    void AdoptRealFrame();
    void LayOutControls();
    void LayOut(const Placement& p);
    QRect Aligned(const Placement& p, double sx, double sy) const;
    QPoint KeyboardMenuPlace() const;

    TFrame m_outer; // as last asked for; once shown, the window itself tells where it is
    QMargins m_appliedMargins;
    bool m_shown = false;
    bool m_frameAdopted = false;
    bool m_neededSizeKept = false;
    mutable std::optional<QMargins> m_predictedFrame;
    bool m_fixedSize = false;
    bool m_showActivates = true;
    QSize m_designClient;
    std::vector<Placement> m_placements;
    std::optional<TGradient> m_gradient;
    TCachedPicture m_gradientFill{true};
    std::optional<TAlphaColor> m_solid;
    QEventLoop* m_modalLoop = nullptr;
    TPopupMenu* m_popupMenu = nullptr;
    std::function<void()> m_mainFormClosed;
};
