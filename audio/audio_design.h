#pragma once
// What the audio menu and the audio file picker share: the caption, the fill and the brush
// object that holds it, a keyboard order for their buttons, and the main window's audio
// choices.
#include "app/toolkit/form.h"
#include "settings/audio_choice.h"

#include <initializer_list>

// Orange from the bottom edge to a quarter up, fading to white at the top edge.
inline const TGradient kAudioFill{{{0xFFE2831D, 0.27}, {claWhite, 1.0}}, {0.5, 1.0}, {0.5, 0.0}};

// A named fill kept with a window's design; the window paints itself with it.
class TBrushObject : public QObject {
public:
    TBrushObject(QObject* Owner, const TGradient& brush)
        : QObject(Owner)
        , m_brush(brush) {}
    const TGradient& GetBrush() const { return m_brush; }

private:
    TGradient m_brush;
};

// The controls take the keyboard focus in the order given.
inline void SetTabOrder(std::initializer_list<QWidget*> controls) {
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}
