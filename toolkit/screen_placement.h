#pragma once
// Where a window is shown: a stored size that no screen can hold is fitted to the screen, one
// too small to use is raised, and a place that leaves no grabbable part of the title bar on any
// screen is moved onto the primary screen. So a stored geometry can never lose a window, make
// it vanish or make it too large to draw.
#include <QList>
#include <QRect>
#include <QSize>
#include <cstdint>

// A window's outer frame as asked for: wider than int, so that any stored place and size is
// held, compared and moved without overflow.
struct TFrame {
    std::int64_t Left = 0;
    std::int64_t Top = 0;
    std::int64_t Width = 0;
    std::int64_t Height = 0;
};

// The frame to give the window: its size fitted to the available area of the screen its top-left
// corner is on, or of the primary screen (a fitted side fills that area), and raised to
// `minimum`; its place kept while enough of its title bar lies on one of the screens, else the
// nearest that fits on the primary screen.
QRect ShownFrame(const TFrame& asked, QSize minimum, int titleBarHeight,
                 const QList<QRect>& screens, const QRect& primary);
