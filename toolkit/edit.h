#pragma once
// TEdit: a one-line edit box with the toolkit's names. Its change event is a commit, not a
// keystroke: it fires when the operator presses Enter, and when focus leaves the box, each
// time only if the text differs from the one at the last commit (or as set). Its prompt shows
// whenever the box is empty, also while it has the focus.
#include "toolkit/controls.h"
#include "toolkit/events.h"
#include "toolkit/rtl.h"

#include <QLineEdit>

class TEdit : public TControl<QLineEdit> {
public:
    explicit TEdit(QWidget* Owner);
    UnicodeString GetText() const { return text(); }
    void SetText(const UnicodeString& value);
    void SetTextPrompt(const UnicodeString& value) { setPlaceholderText(value); }
    void SetFontSize(int size);
    void SetTextAlign(TTextAlign align);

    TNotifyEvent OnChange;

protected:
    void focusOutEvent(QFocusEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void Commit();

    UnicodeString m_committed;
    bool m_composing = false;
};
