#include "toolkit/cached_picture.h"

#include <QPainter>
#include <QWidget>

const QPixmap& TCachedPicture::Of(const QWidget& widget,
                                  const std::function<void(QPainter&)>& draw) {
    const qreal ratio = widget.devicePixelRatioF();
    if (m_pixmap.deviceIndependentSize() != QSizeF(widget.size()) ||
        m_pixmap.devicePixelRatio() != ratio) {
        m_pixmap = QPixmap(widget.size() * ratio);
        m_pixmap.setDevicePixelRatio(ratio);
        if (!m_opaque)
            m_pixmap.fill(Qt::transparent);
        QPainter painter(&m_pixmap);
        draw(painter);
    }
    return m_pixmap;
}
