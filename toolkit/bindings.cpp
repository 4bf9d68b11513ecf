#include "toolkit/bindings.h"

#include "toolkit/color_panel.h"
#include "toolkit/events.h"

void TLinkControlToProperty::Bind(TColorPanel* control, TColorProperty property, bool track) {
    QObject::disconnect(m_connection);
    const auto report = track ? &TColorPanel::ColorTracking : &TColorPanel::ColorChosen;
    // A property setter that throws is shown like any handler's error; Qt never sees it.
    m_connection = connect(control, report, this, [property = std::move(property)](TAlphaColor c) {
        Dispatch([&] { property(c); });
    });
}
