#pragma once
// An icon in the desktop's system tray: a dot of one colour, with a tooltip, that brings a
// window to the front when clicked. Where the desktop has no tray it is simply not seen.
#include "toolkit/colors.h"
#include "toolkit/rtl.h"

#include <QSystemTrayIcon>

class QWidget;

class TTrayIcon : public QSystemTrayIcon {
public:
    // A click brings `window` to the front.
    explicit TTrayIcon(QWidget* window);
    void SetColor(TAlphaColor color);
    void SetHint(const UnicodeString& hint);

private:
    TAlphaColor m_color = 0;
};
