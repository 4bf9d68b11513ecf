#pragma once
// A widget's picture drawn once per size and pixel ratio, then copied: for what is repainted
// often and changes rarely, such as the parts beneath the clock, which repaints every second.
#include <QPixmap>
#include <functional>

class QPainter;
class QWidget;

class TCachedPicture {
public:
    // An opaque picture, one that covers every pixel, is copied without blending: twice as
    // fast as one with see-through parts.
    explicit TCachedPicture(bool opaque)
        : m_opaque(opaque) {}

    // The picture of `widget`, drawn by `draw` on a pixmap of the widget's size whenever that
    // size or the screen's pixel ratio has changed.
    const QPixmap& Of(const QWidget& widget, const std::function<void(QPainter&)>& draw);

private:
    bool m_opaque;
    QPixmap m_pixmap;
};
