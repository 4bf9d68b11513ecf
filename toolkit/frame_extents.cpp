#include "toolkit/frame_extents.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <xcb/xcb.h>

namespace {

// The window manager answers within a round trip or two; past 50 ms it is not answering.
constexpr int kPolls = 200;
constexpr std::chrono::microseconds kPollInterval(250);

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

bool Supported(xcb_connection_t* c, xcb_window_t root, xcb_atom_t request) {
    const auto cookie =
        xcb_get_property(c, 0, root, Atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    if (!reply)
        return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    const int count = xcb_get_property_value_length(reply) / int(sizeof(xcb_atom_t));
    const bool found = std::find(atoms, atoms + count, request) != atoms + count;
    std::free(reply);
    return found;
}

std::optional<QMargins> ReadExtents(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name) {
    const auto cookie = xcb_get_property(c, 0, window, name, XCB_ATOM_CARDINAL, 0, 4);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    std::optional<QMargins> extents;
    if (reply && xcb_get_property_value_length(reply) == 4 * int(sizeof(uint32_t))) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        extents = QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
    }
    std::free(reply);
    return extents;
}

void SendRequest(xcb_connection_t* c, xcb_window_t root, xcb_window_t window, xcb_atom_t type) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

} // namespace

std::optional<QMargins> RequestFrameExtents(const QWidget* window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !c)
        return std::nullopt;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t request = Atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    if (!Supported(c, root, request))
        return std::nullopt;
    const auto native = static_cast<xcb_window_t>(window->winId());
    SendRequest(c, root, native, request);
    const xcb_atom_t extents = Atom(c, "_NET_FRAME_EXTENTS");
    for (int poll = 0; poll < kPolls; ++poll) {
        if (auto margins = ReadExtents(c, native, extents))
            return margins;
        std::this_thread::sleep_for(kPollInterval);
    }
    return std::nullopt;
}
