#pragma once
// The window manager's frame around a window that is not mapped yet. Outer geometry can only
// be honoured before the first showing if the frame is known then; X11 window managers
// tell it on request (_NET_REQUEST_FRAME_EXTENTS).
#include <QMargins>
#include <optional>

class QWidget;

// The frame the window manager will put around `window`, or nothing when no window manager
// answers (another platform, no window manager, or one that does not support the request).
std::optional<QMargins> RequestFrameExtents(const QWidget* window);
