#include "toolkit/screen_placement.h"

#include <algorithm>

namespace {

// The part of the title bar that must be on a screen for the operator to grab it.
constexpr int kGripWidth = 40;
constexpr int kGripHeight = 10;

// Stands in for the screens when none is known.
constexpr int kNoScreenReach = 1 << 24;
const QRect kNoScreen(QPoint(-kNoScreenReach, -kNoScreenReach),
                      QPoint(kNoScreenReach, kNoScreenReach));

// A stretch of one axis.
struct Span {
    std::int64_t start;
    std::int64_t length;
};

bool Holds(const QRect& screen, std::int64_t x, std::int64_t y) {
    return x >= screen.x() && x < std::int64_t(screen.x()) + screen.width() && y >= screen.y() &&
           y < std::int64_t(screen.y()) + screen.height();
}

// The screen the frame's top-left corner is on; the primary one when it is on none.
QRect HomeScreen(const TFrame& frame, const QList<QRect>& screens, const QRect& primary) {
    for (const QRect& screen : screens) {
        if (Holds(screen, frame.Left, frame.Top))
            return screen;
    }
    return primary.isEmpty() ? kNoScreen : primary;
}

// One axis of the size: longer than the room, it fills the room from its start; shorter than
// the minimum, it is raised to it. A start far beyond every screen is brought near them, where
// it is still off them but within int.
Span Fitted(Span asked, int minimum, int first, int room, int boundsFirst, int boundsRoom) {
    if (asked.length > room)
        return {first, room};
    const std::int64_t length = std::max<std::int64_t>(asked.length, std::min(minimum, room));
    return {std::clamp<std::int64_t>(asked.start, boundsFirst - length, boundsFirst + boundsRoom),
            length};
}

bool Grabbable(const QRect& titleBar, const QRect& screen) {
    const QRect visible = titleBar.intersected(screen);
    return visible.width() >= std::min(kGripWidth, titleBar.width()) &&
           visible.height() >= std::min(kGripHeight, titleBar.height());
}

// One axis of the move: inside [first, first + room) when it fits, else at its start.
int ClampAxis(int start, int length, int first, int room) {
    return std::max(first, std::min(start, first + room - length));
}

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

} // namespace

QRect ShownFrame(const TFrame& asked, QSize minimum, int titleBarHeight,
                 const QList<QRect>& screens, const QRect& primary) {
    const QRect home = HomeScreen(asked, screens, primary);
    QRect bounds = home;
    for (const QRect& screen : screens)
        bounds |= screen;
    const Span x = Fitted({asked.Left, asked.Width}, minimum.width(), home.x(), home.width(),
                          bounds.x(), bounds.width());
    const Span y = Fitted({asked.Top, asked.Height}, minimum.height(), home.y(), home.height(),
                          bounds.y(), bounds.height());
    const QRect frame(int(x.start), int(y.start), int(x.length), int(y.length));
    return {ReachablePosition(frame, titleBarHeight, screens, primary), frame.size()};
}
