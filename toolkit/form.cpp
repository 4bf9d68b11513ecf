#include "toolkit/form.h"

#include "toolkit/accessible_role.h"
#include "toolkit/controls.h"
#include "toolkit/frame_extents.h"
#include "toolkit/menus.h"
#include "toolkit/screen_placement.h"

#include <QAbstractSpinBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <cmath>
#include <utility>

namespace {

// The frame last seen on any of our windows stands in for one the window manager would not
// tell in advance.
QMargins s_lastSeenFrame;

// Room a button's text needs inside its frame.
constexpr QSize kButtonTextMargins{8, 4};

// The room a control's text takes at its font; none for a control that shows no text or fits it
// to its place itself.
QSize TextRoom(const QWidget* control) {
    if (const auto* label = dynamic_cast<const TLabel*>(control))
        return label->TextRoom();
    const auto* button = dynamic_cast<const TButton*>(control);
    if (!button || button->GetText().isEmpty())
        return {};
    return button->fontMetrics().size(Qt::TextSingleLine, button->GetText()) + kButtonTextMargins;
}

QRect Scaled(const QRect& r, double sx, double sy) {
    auto scale = [](int v, double f) { return static_cast<int>(std::lround(v * f)); };
    return {scale(r.x(), sx), scale(r.y(), sy), scale(r.width(), sx), scale(r.height(), sy)};
}

QLinearGradient ToQGradient(const TGradient& fill) {
    QLinearGradient gradient(fill.StartPosition, fill.StopPosition);
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    for (const TGradientStop& stop : fill.Stops)
        gradient.setColorAt(stop.Offset, ToQColor(stop.Color));
    return gradient;
}

} // namespace

TForm::TForm(TComponent* Owner)
    : QWidget(qobject_cast<QWidget*>(Owner), Qt::Window) {}

TForm::~TForm() = default;

void TForm::DoCreate() {
    Fire(OnCreate, this);
}

void TForm::ApplyDesign(const TFormDesign& design) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                            Qt::WindowCloseButtonHint;
    if (design.FormStyle == TFormStyle::StayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    setWindowFlags(flags);
    setWindowTitle(design.Caption);
    // A window that comes up without the focus brings news: a screen reader announces it.
    SetAccessibleRole(this, design.ShowActivates ? TAccessibleRole::Dialog
                                                 : TAccessibleRole::Notification);
    m_showActivates = design.ShowActivates;
    setAttribute(Qt::WA_ShowWithoutActivating, !m_showActivates);
    m_fixedSize = design.BorderStyle == TFormBorderStyle::Single;
    m_designClient = QSize(design.ClientWidth, design.ClientHeight);
    // Window managers frame fixed-size windows differently: fix the size before asking.
    if (m_fixedSize)
        setFixedSize(m_designClient);
    const QSize outer = m_designClient.grownBy(FrameMargins());
    m_outer = {design.Left, design.Top, outer.width(), outer.height()};
    ApplyGeometry();
}

QMargins TForm::FrameMargins() const {
    if (isVisible() && windowHandle() && !windowHandle()->frameMargins().isNull())
        return windowHandle()->frameMargins();
    if (!m_predictedFrame)
        m_predictedFrame = RequestFrameExtents(this).value_or(s_lastSeenFrame);
    return *m_predictedFrame;
}

// Once shown, the window's own client geometry is the truth (the operator may have moved it);
// the frame around it is the real one, or the predicted one until the window is framed.
TFrame TForm::Outer() const {
    if (!m_shown)
        return m_outer;
    const QRect outer = geometry().marginsAdded(FrameMargins());
    return {outer.x(), outer.y(), outer.width(), outer.height()};
}

// Each value was set from an int, or read from the window itself.
int TForm::GetLeft() const {
    return static_cast<int>(Outer().Left);
}
int TForm::GetTop() const {
    return static_cast<int>(Outer().Top);
}
int TForm::GetWidth() const {
    return static_cast<int>(Outer().Width);
}
int TForm::GetHeight() const {
    return static_cast<int>(Outer().Height);
}

void TForm::SetLeft(int value) {
    SetSide(&TFrame::Left, value);
}
void TForm::SetTop(int value) {
    SetSide(&TFrame::Top, value);
}
void TForm::SetWidth(int value) {
    SetSide(&TFrame::Width, value);
}
void TForm::SetHeight(int value) {
    SetSide(&TFrame::Height, value);
}

// One side of the outer frame is set; the others stay as they are now.
void TForm::SetSide(std::int64_t TFrame::*side, int value) {
    TFrame outer = Outer();
    outer.*side = value;
    SetOuter(outer);
}

void TForm::SetOuter(const TFrame& outer) {
    m_outer = outer;
    ApplyGeometry();
}

// Left, top, width and height are the outer frame's: the client area is what the frame
// leaves, placed by its own position so that no platform's frame handling is relied on.
void TForm::ApplyGeometry() {
    m_appliedMargins = FrameMargins();
    const QRect frame = ShownOuter(m_appliedMargins);
    const QRect client(frame.topLeft() + QPoint(m_appliedMargins.left(), m_appliedMargins.top()),
                       frame.size().shrunkBy(m_appliedMargins).expandedTo(QSize(1, 1)));
    if (m_fixedSize)
        setFixedSize(client.size());
    setGeometry(client);
    // Qt leaves the native window of a hidden widget at the geometry it was made with, and
    // takes that back as the widget's own when the window manager next reports on it: the
    // window would first appear there.
    if (!isVisible() && windowHandle())
        windowHandle()->setGeometry(geometry());
    LayOutControls();
}

// The frame as asked for, as the screens can show it, no side less than the controls need.
// Their texts are measured only for a frame smaller than the design, as measuring loads fonts,
// which would make the start late.
QRect TForm::ShownOuter(const QMargins& frame) const {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QScreen* primary = QGuiApplication::primaryScreen();
    const bool small =
        m_outer.Width < m_designClient.width() || m_outer.Height < m_designClient.height();
    return ShownFrame(m_outer, small ? NeededOuter(frame) : QSize(), std::max(frame.top(), 20),
                      screens, primary ? primary->availableGeometry() : QRect());
}

// What the controls need with the frame around them, but never more than the design's own
// measures, which are those of the outer frame.
QSize TForm::NeededOuter(const QMargins& frame) const {
    return NeededClient().grownBy(frame).boundedTo(m_designClient);
}

// The smallest client area in which every control still shows all it holds: one at a fixed
// place needs that place, a full-width band its text and its depth, and a scaled one the scale
// at which its text fits its share.
QSize TForm::NeededClient() const {
    QSize fixed;
    double scaleX = 0;
    double scaleY = 0;
    for (const Placement& p : m_placements) {
        const QSize text = TextRoom(p.control);
        if (p.align == TAlignLayout::None)
            fixed = fixed.expandedTo(
                {p.designed.x() + p.designed.width(), p.designed.y() + p.designed.height()});
        else if (p.align == TAlignLayout::Horizontal)
            fixed = fixed.expandedTo({text.width(), p.designed.y() + p.designed.height()});
        else if (p.align == TAlignLayout::Scale && !text.isEmpty()) {
            scaleX = std::max(scaleX, double(text.width()) / p.designed.width());
            scaleY = std::max(scaleY, double(text.height()) / p.designed.height());
        }
    }
    return QSize(int(std::ceil(m_designClient.width() * scaleX)),
                 int(std::ceil(m_designClient.height() * scaleY)))
        .expandedTo(fixed);
}

// The operator cannot make the window smaller than that either, nor larger than the screen.
// Done once it has painted, when its fonts are loaded anyway.
void TForm::KeepNeededSize() {
    if (std::exchange(m_neededSizeKept, true) || m_fixedSize || !screen())
        return;
    const QMargins frame = FrameMargins();
    setMinimumSize(NeededOuter(frame)
                       .boundedTo(screen()->availableGeometry().size())
                       .shrunkBy(frame)
                       .expandedTo(QSize(1, 1)));
}

// Once the window manager has framed the window, the outer size asked for is applied again
// with the real frame.
void TForm::AdoptRealFrame() {
    if (m_frameAdopted || !isVisible() || !windowHandle())
        return;
    const QMargins real = windowHandle()->frameMargins();
    if (real.isNull())
        return;
    m_frameAdopted = true;
    s_lastSeenFrame = real;
    if (real != m_appliedMargins)
        ApplyGeometry();
}

void TForm::SetVisible(bool value) {
    if (!value) {
        hide();
        return;
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    if (m_showActivates)
        activateWindow();
}

TWindowState TForm::GetWindowState() const {
    return isMinimized() ? TWindowState::wsMinimized : TWindowState::wsNormal;
}

void TForm::SetWindowState(TWindowState value) {
    if (value == GetWindowState())
        return;
    if (value == TWindowState::wsNormal && isVisible()) {
        SetVisible(true);
        return;
    }
    setWindowState(value == TWindowState::wsMinimized ? windowState() | Qt::WindowMinimized
                                                      : windowState() & ~Qt::WindowMinimized);
}

int TForm::ShowModal() {
    // Modal over its owner only, so that the alert stays clickable while an editor is open.
    setWindowModality(parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    SetVisible(true);
    QEventLoop loop;
    m_modalLoop = &loop;
    loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
    return 0;
}

void TForm::Place(QWidget* control, QRect designed, TAlignLayout align) {
    m_placements.push_back({control, designed, align});
    LayOut(m_placements.back());
}

void TForm::MovePlaced(QWidget* control, QRect designed) {
    for (Placement& placement : m_placements)
        if (placement.control == control && placement.designed != designed) {
            placement.designed = designed;
            LayOut(placement);
        }
}

TLabel* TForm::AddLabel(const TLabelDesign& design, TAlignLayout align) {
    auto* label = new TLabel(this);
    label->SetDesign(design);
    Place(label, design.Place, align);
    return label;
}

TButton* TForm::AddButton(const UnicodeString& text, QRect designed, TAlignLayout align) {
    auto* button = new TButton(this);
    button->SetText(text);
    Place(button, designed, align);
    return button;
}

void TForm::SetTabOrder(std::initializer_list<QWidget*> controls) {
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

void TForm::LayOutControls() {
    for (const Placement& p : m_placements)
        LayOut(p);
}

void TForm::LayOut(const Placement& p) {
    if (m_designClient.isEmpty())
        return;
    const double sx = double(width()) / m_designClient.width();
    const double sy = double(height()) / m_designClient.height();
    const QRect bounds = Aligned(p, sx, sy);
    if (auto* label = dynamic_cast<TLabel*>(p.control))
        label->SetBounds(bounds);
    else
        p.control->setGeometry(bounds);
}

QRect TForm::Aligned(const Placement& p, double sx, double sy) const {
    switch (p.align) {
    case TAlignLayout::Scale:
        return Scaled(p.designed, sx, sy);
    case TAlignLayout::Client:
        return rect();
    case TAlignLayout::Horizontal:
        return {0, p.designed.y(), width(), p.designed.height()};
    case TAlignLayout::None:
        break;
    }
    return p.designed;
}

bool TForm::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        Fire(OnActivate, this);
    else if (e->type() == QEvent::WindowDeactivate)
        Fire(OnDeactivate, this);
    return QWidget::event(e);
}

// A number still being typed is taken first, as leaving its box would take it.
void TForm::closeEvent(QCloseEvent* e) {
    for (QAbstractSpinBox* box : findChildren<QAbstractSpinBox*>())
        box->interpretText();
    const bool mainForm = static_cast<bool>(m_mainFormClosed);
    TCloseAction action = mainForm ? TCloseAction::caFree : TCloseAction::caHide;
    Fire(OnClose, this, action);
    if (action == TCloseAction::caNone) {
        e->ignore();
        return;
    }
    e->accept();
    if (mainForm)
        m_mainFormClosed();
}

// Controls pass a right click on to their window.
void TForm::contextMenuEvent(QContextMenuEvent* e) {
    if (!m_popupMenu) {
        QWidget::contextMenuEvent(e);
        return;
    }
    const bool keyboard = e->reason() == QContextMenuEvent::Keyboard;
    m_popupMenu->popup(keyboard ? KeyboardMenuPlace() : e->globalPos());
    if (keyboard)
        m_popupMenu->setActiveAction(m_popupMenu->actions().value(0));
}

// Qt opens a context menu for the Menu key only; desktops open one for Shift+F10 too. Escape
// closes a window opened over another, as it closes a dialog.
void TForm::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && m_modalLoop) {
        Close();
        return;
    }
    if (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier) {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        contextMenuEvent(&menu);
        return;
    }
    QWidget::keyPressEvent(e);
}

// Over the middle of the control with the focus, or of the window.
QPoint TForm::KeyboardMenuPlace() const {
    const QWidget* around = focusWidget() ? focusWidget() : this;
    return around->mapToGlobal(around->rect().center());
}

void TForm::paintEvent(QPaintEvent*) {
    // A window manager that answers the frame request late frames the window without moving
    // or resizing its client, so no event tells of the frame; the first painting follows it.
    if (!m_frameAdopted)
        QMetaObject::invokeMethod(this, &TForm::AdoptRealFrame, Qt::QueuedConnection);
    if (!m_neededSizeKept)
        QMetaObject::invokeMethod(this, &TForm::KeepNeededSize, Qt::QueuedConnection);
    QPainter painter(this);
    if (m_gradient)
        painter.drawPixmap(0, 0, m_gradientFill.Of(*this, [this](QPainter& fill) {
            fill.fillRect(rect(), ToQGradient(*m_gradient));
        }));
    else if (m_solid)
        painter.fillRect(rect(), ToQColor(*m_solid));
}

void TForm::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    LayOutControls();
    AdoptRealFrame();
    if (isVisible())
        Fire(OnPlaceChange, this);
}

void TForm::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    AdoptRealFrame();
    if (isVisible())
        Fire(OnPlaceChange, this);
}

// Before the window is mapped: the first showing applies the frame as asked for, a later one
// the window's own, each as the screens can show it.
void TForm::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    const TFrame outer = Outer();
    m_shown = true;
    SetOuter(outer);
    AdoptRealFrame();
}

// Only a close ends a modal showing: a window the operator minimises is hidden by the window
// system, and stays open and modal until it is closed.
void TForm::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    Fire(OnHide, this);
    if (m_modalLoop && !e->spontaneous())
        m_modalLoop->quit();
}
