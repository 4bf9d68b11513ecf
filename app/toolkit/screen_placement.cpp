#include "app/toolkit/screen_placement.h"

#include <algorithm>

namespace {

// The part of the title bar that must be on a screen for the operator to grab it.
constexpr int kGripWidth = 40;
constexpr int kGripHeight = 10;

bool Grabbable(const QRect& titleBar, const QRect& screen) {
    const QRect visible = titleBar.intersected(screen);
    return visible.width() >= std::min(kGripWidth, titleBar.width()) &&
           visible.height() >= std::min(kGripHeight, titleBar.height());
}

// One axis of the move: inside [first, first + room) when it fits, else at its start.
int ClampAxis(int start, int length, int first, int room) {
    return std::max(first, std::min(start, first + room - length));
}

} // namespace

QPoint ReachablePosition(const QRect& frame, int titleBarHeight, const QList<QRect>& screens,
                         const QRect& primary) {
    const QRect titleBar(frame.topLeft(), QSize(frame.width(), std::max(titleBarHeight, 1)));
    const bool reachable = std::any_of(screens.begin(), screens.end(), [&](const QRect& screen) {
        return Grabbable(titleBar, screen);
    });
    if (reachable || primary.isEmpty())
        return frame.topLeft();
    return {ClampAxis(frame.x(), frame.width(), primary.x(), primary.width()),
            ClampAxis(frame.y(), frame.height(), primary.y(), primary.height())};
}
