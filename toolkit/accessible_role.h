#pragma once
// Roles for assistive technology that Qt's own interfaces do not give our controls: a window
// as a frame or a dialog, the alert as a notification (a screen reader announces one as it
// appears, while the focus stays where it was), the colour picker as one, and decoration that
// a screen reader passes by, such as a caption its button already says.
#include <QWidget>

enum class TAccessibleRole { Window, Dialog, Notification, ColorChooser, Decoration };

// Call it while the control is being made, before a screen reader has asked for it.
void SetAccessibleRole(QWidget* control, TAccessibleRole role);
