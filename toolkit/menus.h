#pragma once
// Menus: a pop-up menu that a right click on its window opens (TForm::SetPopupMenu), and its
// items, each a command that its keyboard shortcut also gives while the item's window is active.
#include "toolkit/events.h"
#include "toolkit/rtl.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

class TMenuItem : public QAction {
public:
    TMenuItem(QWidget* Owner, const UnicodeString& text, const QKeySequence& shortCut);

    TNotifyEvent OnClick;
};

class TPopupMenu : public QMenu {
public:
    explicit TPopupMenu(QWidget* Owner)
        : QMenu(Owner) {}
    void AddItem(TMenuItem* item) { addAction(item); }
};
