#include "toolkit/option_controls.h"

#include <QSignalBlocker>

TGroupBox::TGroupBox(QWidget* Owner, const UnicodeString& text)
    : TControl<QGroupBox>(text, Owner) {}

TComboBox::TComboBox(QWidget* Owner)
    : TControl<QComboBox>(Owner) {
    connect(this, &QComboBox::currentIndexChanged, this, [this] { Fire(OnChange, this); });
}

void TComboBox::AddItem(const UnicodeString& text, const UnicodeString& id) {
    const QSignalBlocker programSetsIt(this);
    addItem(text, id);
}

void TComboBox::Clear() {
    const QSignalBlocker programSetsIt(this);
    clear();
}

void TComboBox::SetItemIndex(int index) {
    const QSignalBlocker programSetsIt(this);
    setCurrentIndex(index);
}

TCheckBox::TCheckBox(QWidget* Owner, const UnicodeString& text)
    : TControl<QCheckBox>(text, Owner) {
    connect(this, &QCheckBox::toggled, this, [this] { Fire(OnChange, this); });
}

void TCheckBox::SetChecked(bool checked) {
    const QSignalBlocker programSetsIt(this);
    setChecked(checked);
}

TSpinBox::TSpinBox(QWidget* Owner, int min, int max, int increment, const UnicodeString& unit)
    : TControl<QSpinBox>(Owner) {
    setRange(min, max);
    setSingleStep(increment);
    // A number is taken when its typing is done (Enter, leaving the box, the arrows, the
    // window's close), never halfway: typing 4532 is no port 4, 45 and 453 first.
    setKeyboardTracking(false);
    if (!unit.isEmpty())
        setSuffix(QLatin1Char(' ') + unit);
    connect(this, &QSpinBox::valueChanged, this, [this] { Fire(OnChange, this); });
}

void TSpinBox::SetValue(int value) {
    const QSignalBlocker programSetsIt(this);
    setValue(value);
}
