#pragma once
// Work that can wait for a window: run when the event loop falls idle once the window is on
// the screen, so that it delays neither the window's first picture nor the operator.
#include <functional>

class QWidget;

// Runs `action` once on the user-interface thread, at the first pause of the event loop
// after `window` has been exposed (and so painted); never, if the window goes first.
void WhenShownAndIdle(QWidget* window, std::function<void()> action);
