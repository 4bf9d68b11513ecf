#pragma once
// TAlert: the always-on-top "Time to ID!" window. The main window shows and hides it, without
// taking the keyboard focus from the program the operator is typing in; the window takes its
// place, size and colour from the main window when it is made and each time it becomes active,
// and hands them back each time it stops being active, is hidden, moved or resized. A click
// anywhere on it asks the main window to close it at the next tick; the mouse wheel shows and
// hides its colour picker. A screen reader announces it as it appears, with the callsign; an
// operator who moves to it closes it with Escape, Enter or Space, and finds its colour picker
// in its menu (right click, the Menu key or Shift+F10).
#include "toolkit/bindings.h"
#include "toolkit/color_panel.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/menus.h"

class TAlert : public TForm {
public:
    explicit TAlert(TComponent* Owner);

    TLabel* Time_To_Label;
    TLabel* Label1;
    TColorButton* CloseButton;
    TColorPanel* ColorPanel1;
    TBindingsList* BindingsList1;
    TLinkControlToProperty* LinkControlToPropertyColor;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    // Beyond the design: the menu for the keyboard.
    TPopupMenu* PopupMenu1;
    TMenuItem* ColourItem;
    TMenuItem* CloseItem;

    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormDeactivate(TObject* Sender);
    void FormHide(TObject* Sender);
    void FormPlaceChange(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void CloseButtonClick(TObject* Sender);
    void CloseButtonMouseWheel(TObject* Sender, TShiftState Shift, int WheelDelta, bool& Handled);
    void ColorPanel1MouseWheel(TObject* Sender, TShiftState Shift, int WheelDelta, bool& Handled);
    void ColourItemClick(TObject* Sender);

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void CreateFace();
    void CreateColorPicker();
    void CreateMenu();
    void BindEvents();
    void TakeStoredLook();
    void HandBackLook();
};

extern TAlert* Alert;
