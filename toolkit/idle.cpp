#include "toolkit/idle.h"

#include <QAbstractEventDispatcher>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <memory>

void WhenShownAndIdle(QWidget* window, std::function<void()> action) {
    auto pause = std::make_shared<QMetaObject::Connection>();
    *pause = QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, window,
        [window, pause, action = std::move(action)] {
            if (!window->windowHandle() || !window->windowHandle()->isExposed())
                return;
            // Not inside the dispatcher's own signal: the action may start event sources.
            QTimer::singleShot(0, window, action);
            QObject::disconnect(*pause);
        });
}
