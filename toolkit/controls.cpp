#include "toolkit/controls.h"

#include <QPainter>
#include <QPainterPath>

QColor ToQColor(TAlphaColor color) {
    return QColor::fromRgba(color);
}

Qt::Alignment ToQAlignment(TTextAlign align) {
    switch (align) {
    case TTextAlign::Leading:
        return Qt::AlignLeading | Qt::AlignVCenter;
    case TTextAlign::Trailing:
        return Qt::AlignTrailing | Qt::AlignVCenter;
    case TTextAlign::Center:
        break;
    }
    return Qt::AlignCenter;
}

void TTextSettings::SetFontColor(TAlphaColor color) {
    m_fontColor = color;
    QPalette palette = m_control->palette();
    palette.setColor(QPalette::WindowText, ToQColor(color));
    palette.setColor(QPalette::ButtonText, ToQColor(color));
    m_control->setPalette(palette);
}

TLabel::TLabel(QWidget* Owner)
    : TControl<QLabel>(Owner)
    , m_textSettings(this) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAlignment(Qt::AlignCenter);
    // Shown as typed or stored: a callsign or a path with "<" is no markup.
    setTextFormat(Qt::PlainText);
    m_textSettings.SetFontColor(claBlack);
}

void TLabel::SetText(const UnicodeString& value) {
    if (value == m_text)
        return;
    m_text = value;
    ShowText();
}

void TLabel::SetText(const char* value) {
    if (!QAnyStringView::equal(m_text, QUtf8StringView(value)))
        SetText(QString::fromUtf8(value));
}

void TLabel::SetSpokenAs(const UnicodeString& what) {
    m_spokenAs = what;
    ShowText();
}

void TLabel::SetWordWrap(bool wrap) {
    setWordWrap(wrap);
    ShowText();
}

// A zero-width space after each '/' lets a wrapped path break between its folders.
void TLabel::ShowText() {
    setText(wordWrap() ? QString(m_text).replace(QLatin1Char('/'), QStringLiteral("/\u200B"))
                       : m_text);
    if (!m_spokenAs.isEmpty())
        setAccessibleName(QStringLiteral("%1: %2").arg(m_spokenAs, m_text));
    ScheduleFit();
}

void TLabel::SetBounds(const QRect& bounds) {
    m_bounds = bounds;
    setGeometry(bounds);
    ScheduleFit();
}

void TLabel::SetShrinkToFit(bool shrink) {
    m_shrinkToFit = shrink;
    ScheduleFit();
}

// Measuring text loads its font, which costs milliseconds per size: fitting waits for the
// event loop, so that a window maps first and its labels fit before they are painted.
void TLabel::ScheduleFit() {
    if (m_fitPending)
        return;
    m_fitPending = true;
    QMetaObject::invokeMethod(this, &TLabel::FitText, Qt::QueuedConnection);
}

namespace {

// A text's width and a pixel each side, which antialiasing may paint.
constexpr int kTextSideRoom = 2;

} // namespace

void TLabel::FitText() {
    m_fitPending = false;
    if (const int size = FittingPixelSize(); size != font().pixelSize()) {
        QFont shrunk = font();
        shrunk.setPixelSize(size);
        setFont(shrunk);
    }
    const int spill =
        wordWrap() ? 0 : fontMetrics().horizontalAdvance(text()) + kTextSideRoom - m_bounds.width();
    setGeometry(spill > 0 ? Spilled(spill) : m_bounds);
}

QRect TLabel::Spilled(int spill) const {
    if (alignment() & Qt::AlignLeft)
        return m_bounds.adjusted(0, 0, spill, 0);
    if (alignment() & Qt::AlignRight)
        return m_bounds.adjusted(-spill, 0, 0, 0);
    return m_bounds.adjusted(-spill / 2, 0, spill - spill / 2, 0);
}

int TLabel::FittingPixelSize() const {
    const int room = parentWidget() ? parentWidget()->width() : 0;
    if (!m_shrinkToFit || room <= 0)
        return m_designedPixelSize;
    QFont designed = font();
    designed.setPixelSize(m_designedPixelSize);
    const int needed = QFontMetrics(designed).horizontalAdvance(text()) + kTextSideRoom;
    constexpr int kSmallest = 8;
    return needed <= room ? m_designedPixelSize
                          : std::max(kSmallest, m_designedPixelSize * room / needed);
}

QSize TLabel::TextRoom() const {
    if (m_shrinkToFit || wordWrap() || m_text.isEmpty())
        return {};
    QFont designed = font();
    designed.setPixelSize(m_designedPixelSize);
    return QFontMetrics(designed).size(Qt::TextSingleLine, m_text) + QSize(kTextSideRoom, 0);
}

void TLabel::SetFont(const TFont& font) {
    QFont f = this->font();
    // Sizes are in device-independent pixels, as the windows were designed.
    m_designedPixelSize = font.Size;
    f.setPixelSize(font.Size);
    f.setWeight(font.Bold ? QFont::Bold : font.Light ? QFont::Light : QFont::Normal);
    f.setItalic(font.Italic);
    f.setUnderline(font.Underline);
    setFont(f);
    ScheduleFit();
}

void TLabel::SetDesign(const TLabelDesign& design) {
    setAlignment(ToQAlignment(design.HorzAlign));
    SetText(design.Text);
    SetFont(design.Font);
    m_textSettings.SetFontColor(design.FontColor);
}

TButton::TButton(QWidget* Owner)
    : TButtonEvents<QPushButton>(Owner) {}

void TButton::paintEvent(QPaintEvent* e) {
    if (Painted())
        QPushButton::paintEvent(e);
    else if (KeyboardFocused(this))
        DrawFocusRing(this);
}

TColorButton::TColorButton(QWidget* Owner)
    : TButtonEvents<QAbstractButton>(Owner) {
    setFocusPolicy(Qt::TabFocus);
}

void TColorButton::SetColor(TAlphaColor color) {
    if (m_color == color)
        return;
    m_color = color;
    update();
}

void TColorButton::paintEvent(QPaintEvent*) {
    if (!Painted())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor fill = ToQColor(m_color);
    painter.setPen(QPen(isDown() ? fill.darker(160) : fill.darker(130), 1));
    painter.setBrush(isDown() ? fill.darker(115) : fill);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    painter.end();
    if (KeyboardFocused(this))
        DrawFocusRing(this);
}

bool KeyboardFocused(const QWidget* control) {
    return control->hasFocus() && control->window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

// Dark and light dashes, seen on any fill behind them.
void DrawFocusRing(QWidget* control) {
    QPainter painter(control);
    const QRectF ring = QRectF(control->rect()).adjusted(1, 1, -1, -1);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(ring);
    painter.setPen(QPen(Qt::white, 2, Qt::DashLine));
    painter.drawRect(ring);
}

TRoundRect::TRoundRect(QWidget* Owner, TAlphaColor fill)
    : TControl<QWidget>(Owner)
    , m_fill(fill) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TRoundRect::SetFill(TAlphaColor fill) {
    if (fill == m_fill)
        return;
    m_fill = fill;
    m_picture = TCachedPicture(false);
    update();
}

void TRoundRect::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, m_picture.Of(*this, [this](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const double radius = std::min(area.width(), area.height()) / 2;
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(ToQColor(m_fill));
        painter.drawRoundedRect(area, radius, radius);
    }));
}
