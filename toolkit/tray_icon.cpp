#include "toolkit/tray_icon.h"

#include "toolkit/controls.h"

#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace {

constexpr int kIconPixels = 64;

} // namespace

TTrayIcon::TTrayIcon(QWidget* window)
    : QSystemTrayIcon(window) {
    connect(this, &QSystemTrayIcon::activated, window, [window] {
        window->showNormal();
        window->raise();
        window->activateWindow();
    });
}

void TTrayIcon::SetColor(TAlphaColor color) {
    if (color == m_color)
        return;
    m_color = color;
    QPixmap dot(kIconPixels, kIconPixels);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(ToQColor(color));
    painter.drawEllipse(QRectF(2, 2, kIconPixels - 4, kIconPixels - 4));
    painter.end();
    setIcon(QIcon(dot));
}

void TTrayIcon::SetHint(const UnicodeString& hint) {
    if (toolTip() != hint)
        setToolTip(hint);
}
