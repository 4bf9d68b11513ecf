#pragma once
// Live bindings from a colour panel to a colour property of another component. With
// tracking the property follows the panel while the operator drags; without, it takes the
// colour when the operator lets go.
#include "toolkit/colors.h"

#include <QObject>
#include <functional>

class TColorPanel;

class TBindingsList : public QObject {
public:
    explicit TBindingsList(QObject* Owner)
        : QObject(Owner) {}
};

class TLinkControlToProperty : public QObject {
public:
    using TColorProperty = std::function<void(TAlphaColor)>;

    explicit TLinkControlToProperty(TBindingsList* Owner)
        : QObject(Owner) {}
    void Bind(TColorPanel* control, TColorProperty property, bool track = true);

private:
    QMetaObject::Connection m_connection;
};
