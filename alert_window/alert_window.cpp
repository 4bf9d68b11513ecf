#include "alert_window/alert_window.h"

#include "window_set/window_set.h"

#include <QKeyEvent>

TAlert* Alert = nullptr;

namespace {

// It comes up while the operator types into a logger or a chat: the keys stay theirs.
const TFormDesign kWindow{
    kCaption, 600, 500, 560, 80, TFormStyle::StayOnTop, TFormBorderStyle::Sizeable, false};

constexpr TFont kHint{14, false, true, true};

const TLabelDesign kTitle{{0, 96, 600, 65}, "Time to ID!", {60, true}};
const TLabelDesign kClickHint{{0, 248, 600, 65}, "Left click anywhere to close window", {20, true}};
const TLabelDesign kWheelHint{
    {0, 328, 600, 57}, "Roll mouse wheel to change colors of this screen", kHint};
const TLabelDesign kSliderHint{
    {0, 352, 600, 57},
    "Move sliders on the side and bottom and the small circle to select your color",
    kHint};
const TLabelDesign kSaveHint{
    {0, 376, 600, 57}, "Roll the mouse wheel to save your choice  ", kHint};

} // namespace

TAlert::TAlert(TComponent* Owner)
    : TForm(Owner) {
    ApplyDesign(kWindow);
    SetFill(claNull);
    CreateFace();
    CreateColorPicker();
    CreateMenu();
    BindEvents();
}

void TAlert::CreateFace() {
    CloseButton = new TColorButton(this);
    CloseButton->SetColor(claYellow);
    CloseButton->SetAccessibleName(QStringLiteral("Close the alert"));
    CloseButton->SetHint(QStringLiteral("Click to close; roll the mouse wheel to choose "
                                        "this window's colour"));
    Place(CloseButton, {0, 0, 600, 500}, TAlignLayout::Client);
    Time_To_Label = AddLabel(kTitle, TAlignLayout::Horizontal);
    Label1 = AddLabel(kClickHint, TAlignLayout::Horizontal);
}

void TAlert::CreateColorPicker() {
    ColorPanel1 = new TColorPanel(this);
    ColorPanel1->SetColor(claYellow);
    ColorPanel1->SetVisible(false);
    Place(ColorPanel1, {120, 176, 393, 145}, TAlignLayout::None);
    BindingsList1 = new TBindingsList(this);
    LinkControlToPropertyColor = new TLinkControlToProperty(BindingsList1);
    LinkControlToPropertyColor->Bind(
        ColorPanel1, [this](TAlphaColor color) { CloseButton->SetColor(color); }, false);
    Label2 = AddLabel(kWheelHint, TAlignLayout::Horizontal);
    Label3 = AddLabel(kSliderHint, TAlignLayout::Horizontal);
    Label4 = AddLabel(kSaveHint, TAlignLayout::Horizontal);
}

void TAlert::CreateMenu() {
    PopupMenu1 = new TPopupMenu(this);
    ColourItem = new TMenuItem(this, QStringLiteral("Alert Colour"), {});
    CloseItem = new TMenuItem(this, QStringLiteral("Close Alert"), {});
    PopupMenu1->AddItem(ColourItem);
    PopupMenu1->AddItem(CloseItem);
    SetPopupMenu(PopupMenu1);
    setAccessibleDescription(QStringLiteral("Escape, Enter or Space closes it; the Menu key "
                                            "opens its colour picker"));
}

void TAlert::BindEvents() {
    OnCreate = Handler(this, &TAlert::FormCreate);
    OnActivate = Handler(this, &TAlert::FormActivate);
    OnDeactivate = Handler(this, &TAlert::FormDeactivate);
    OnHide = Handler(this, &TAlert::FormHide);
    OnPlaceChange = Handler(this, &TAlert::FormPlaceChange);
    OnClose = Handler(this, &TAlert::FormClose);
    CloseButton->OnClick = Handler(this, &TAlert::CloseButtonClick);
    CloseButton->OnMouseWheel = Handler(this, &TAlert::CloseButtonMouseWheel);
    ColorPanel1->OnMouseWheel = Handler(this, &TAlert::ColorPanel1MouseWheel);
    ColourItem->OnClick = Handler(this, &TAlert::ColourItemClick);
    CloseItem->OnClick = Handler(this, &TAlert::CloseButtonClick);
}

// The window is made after the main window has restored its members, so its first showing
// already appears where and as the operator left it, instead of jumping there on activation.
void TAlert::FormCreate(TObject*) {
    TakeStoredLook();
}

void TAlert::FormActivate(TObject*) {
    TakeStoredLook();
}

// Read before any is applied: the window hands its place back as it moves.
void TAlert::TakeStoredLook() {
    const SharedMembers stored = shared;
    SetLeft(stored.alertLeft);
    SetTop(stored.alertTop);
    SetWidth(stored.alertWidth);
    SetHeight(stored.alertHeight);
    CloseButton->SetColor(static_cast<TAlphaColor>(stored.alertColor));
}

void TAlert::FormDeactivate(TObject*) {
    HandBackLook();
}

// The window is shown without taking the focus, so it may never be active: its place and
// colour are handed back as it is hidden, moved or resized too.
void TAlert::FormHide(TObject*) {
    HandBackLook();
}

void TAlert::FormPlaceChange(TObject*) {
    HandBackLook();
}

void TAlert::HandBackLook() {
    shared.alertLeft = GetLeft();
    shared.alertTop = GetTop();
    shared.alertWidth = GetWidth();
    shared.alertHeight = GetHeight();
    shared.alertColor = CloseButton->GetColor();
}

// Closing from the title bar is a close request like a click, so the main window's flags
// follow and the next mark can show the alert again.
void TAlert::FormClose(TObject*, TCloseAction&) {
    shared.alertCloseRequest = true;
}

void TAlert::CloseButtonClick(TObject*) {
    ColorPanel1->SetVisible(false);
    shared.alertCloseRequest = true;
}

void TAlert::CloseButtonMouseWheel(TObject*, TShiftState, int, bool&) {
    ColorPanel1->SetVisible(true);
}

void TAlert::ColorPanel1MouseWheel(TObject*, TShiftState, int, bool&) {
    ColorPanel1->SetVisible(false);
}

void TAlert::ColourItemClick(TObject*) {
    ColorPanel1->SetVisible(true);
    ColorPanel1->SetFocus();
}

// Named before it shows, so that what a screen reader announces names the station.
void TAlert::showEvent(QShowEvent* e) {
    const UnicodeString callSign = shared.CallSign ? shared.CallSign->GetText() : UnicodeString();
    setAccessibleName(QStringLiteral("Time to ID! %1").arg(callSign).trimmed());
    TForm::showEvent(e);
}

// Keys its button has not taken already (Escape always).
void TAlert::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        CloseButtonClick(this);
        return;
    default:
        TForm::keyPressEvent(e);
    }
}
