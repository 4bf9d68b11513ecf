#include "toolkit/accessible_role.h"

#include <QAccessibleWidget>

namespace {

constexpr char kRoleProperty[] = "chimewellAccessibleRole";

QAccessible::Role QtRole(TAccessibleRole role) {
    switch (role) {
    case TAccessibleRole::Window:
        return QAccessible::Window;
    case TAccessibleRole::Dialog:
        return QAccessible::Dialog;
    case TAccessibleRole::Notification:
        return QAccessible::Notification;
    case TAccessibleRole::ColorChooser:
        return QAccessible::ColorChooser;
    case TAccessibleRole::Decoration:
        break;
    }
    return QAccessible::Graphic;
}

class RoledAccessible : public QAccessibleWidget {
public:
    RoledAccessible(QWidget* control, TAccessibleRole role)
        : QAccessibleWidget(control, QtRole(role))
        , m_decoration(role == TAccessibleRole::Decoration) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = state.invisible || m_decoration;
        return state;
    }

private:
    bool m_decoration;
};

QAccessibleInterface* RoledInterface(const QString&, QObject* object) {
    auto* control = qobject_cast<QWidget*>(object);
    const QVariant role = control ? control->property(kRoleProperty) : QVariant();
    return role.isValid() ? new RoledAccessible(control, static_cast<TAccessibleRole>(role.toInt()))
                          : nullptr;
}

} // namespace

void SetAccessibleRole(QWidget* control, TAccessibleRole role) {
    // The factory installed last is asked first: after the application's own, which answers
    // for every widget.
    static const bool installed = [] {
        QAccessible::installFactory(&RoledInterface);
        return true;
    }();
    (void)installed;
    control->setProperty(kRoleProperty, static_cast<int>(role));
    // Qt makes a label's interface as soon as it has a text, to be made anew from here.
    QAccessible::deleteAccessibleInterface(
        QAccessible::uniqueId(QAccessible::queryAccessibleInterface(control)));
}
