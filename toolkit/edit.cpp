#include "toolkit/edit.h"

#include "settings/single_line.h"

#include <QFocusEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>

namespace {

// A one-line box holds no line breaks. A pasted break (CRLF, LF or CR) becomes one blank, as
// the settings file would store it, so what the box commits is what comes back next run.
class LineBreaksAsBlanks : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override {
        pos = static_cast<int>(SingleLine(input.left(pos)).size());
        input = SingleLine(input);
        return Acceptable;
    }
};

} // namespace

TEdit::TEdit(QWidget* Owner)
    : TControl<QLineEdit>(Owner) {
    setValidator(new LineBreaksAsBlanks(this));
    connect(this, &QLineEdit::returnPressed, this, [this] { Commit(); });
}

void TEdit::SetFontSize(int size) {
    QFont f = font();
    // Sizes are in device-independent pixels, as the windows were designed.
    f.setPixelSize(size);
    setFont(f);
}

void TEdit::SetTextAlign(TTextAlign align) {
    setAlignment(ToQAlignment(align));
}

// A context menu taking focus is not the operator leaving the box.
void TEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    if (e->reason() != Qt::PopupFocusReason)
        Commit();
}

void TEdit::inputMethodEvent(QInputMethodEvent* e) {
    QLineEdit::inputMethodEvent(e);
    m_composing = !e->preeditString().isEmpty();
}

// Qt hides a centred prompt while the box has the focus; the prompt is drawn here then, so
// that an editor opening with the focus in its box still shows what to type.
void TEdit::paintEvent(QPaintEvent* e) {
    QLineEdit::paintEvent(e);
    if (!hasFocus() || !(alignment() & Qt::AlignHCenter) || !text().isEmpty() || m_composing)
        return;
    QStyleOptionFrame option;
    initStyleOption(&option);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(style()->subElementRect(QStyle::SE_LineEditContents, &option, this),
                     static_cast<int>(alignment()), placeholderText());
}

void TEdit::SetText(const UnicodeString& value) {
    setText(value);
    m_committed = value;
}

// A text typed and typed away again is no change.
void TEdit::Commit() {
    if (text() == m_committed)
        return;
    m_committed = text();
    Fire(OnChange, this);
}
