#include "toolkit/menus.h"

TMenuItem::TMenuItem(QWidget* Owner, const UnicodeString& text, const QKeySequence& shortCut)
    : QAction(text, Owner) {
    setShortcut(shortCut);
    // The shortcut works in the owner's window whether or not the menu is open.
    Owner->addAction(this);
    connect(this, &QAction::triggered, this, [this] { Fire(OnClick, this); });
}
