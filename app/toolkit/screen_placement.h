#pragma once
// Keeping windows reachable: a window whose title bar cannot be grabbed on any screen is
// moved onto the primary screen, so that a stored place can never lose it.
#include <QList>
#include <QPoint>
#include <QRect>

// Where the frame's top-left should be: unchanged while enough of its title bar lies on one
// of the screens; otherwise the nearest place that fits on the primary screen.
QPoint ReachablePosition(const QRect& frame, int titleBarHeight, const QList<QRect>& screens,
                         const QRect& primary);
