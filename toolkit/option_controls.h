#pragma once
// The controls of an options window: a titled frame around a group of controls, a drop-down
// list and a number box. Each tells through OnChange of a change the operator made; a value the
// program sets is not told.
#include "toolkit/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QSpinBox>

class TGroupBox : public TControl<QGroupBox> {
public:
    TGroupBox(QWidget* Owner, const UnicodeString& text);
};

// Its items are texts, each with the id the program keeps for it (a number, an output's id).
class TComboBox : public TControl<QComboBox> {
public:
    explicit TComboBox(QWidget* Owner);
    void AddItem(const UnicodeString& text, const UnicodeString& id);
    void Clear();
    // The item that has the id; -1 for none.
    int IndexOfId(const UnicodeString& id) const { return findData(id); }
    void SetItemIndex(int index);
    UnicodeString GetSelectedId() const { return currentData().toString(); }

    TNotifyEvent OnChange;
};

// An option that is on or off, named by its text.
class TCheckBox : public TControl<QCheckBox> {
public:
    TCheckBox(QWidget* Owner, const UnicodeString& text);
    bool IsChecked() const { return isChecked(); }
    void SetChecked(bool checked);

    TNotifyEvent OnChange;
};

// A whole number between limits, with arrows, and a unit after it ("WPM"), if it has one. Its
// change is told once the operator has finished typing it.
class TSpinBox : public TControl<QSpinBox> {
public:
    TSpinBox(QWidget* Owner, int min, int max, int increment, const UnicodeString& unit);
    int GetValue() const { return value(); }
    void SetValue(int value);

    TNotifyEvent OnChange;
};
