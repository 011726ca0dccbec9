#include "X11Support.h"

#include "UiLogging.h"

#include <QGuiApplication>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#ifdef TALLYFIN_HAVE_XCB
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <xcb/xcb.h>
#endif

namespace tallyfin::ui::x11 {

#ifdef TALLYFIN_HAVE_XCB
namespace {

xcb_connection_t* connection() {
    if (QGuiApplication::platformName() != u"xcb") {
        return nullptr;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

xcb_screen_t* defaultScreen(xcb_connection_t* c, int* number) {
    // DISPLAY is ":0" or ":0.1"; the part after the dot names the screen.
    int screen = 0;
    const QByteArray display = qgetenv("DISPLAY");
    if (const qsizetype dot = display.lastIndexOf('.'); dot > display.lastIndexOf(':')) {
        screen = display.mid(dot + 1).toInt();
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; it.rem > 0; ++i, xcb_screen_next(&it)) {
        if (i == screen) {
            *number = i;
            return it.data;
        }
    }
    return nullptr;
}

void sendToRoot(xcb_connection_t* c, xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                uint32_t d0, uint32_t d1, uint32_t d2) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    event.data.data32[0] = d0;
    event.data.data32[1] = d1;
    event.data.data32[2] = d2;
    event.data.data32[3] = 1; // from a normal application
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

std::optional<uint32_t> cardinal(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
    const auto cookie = xcb_get_property(c, 0, window, property, XCB_ATOM_CARDINAL, 0, 1);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(c, cookie, nullptr), &std::free);
    if (!reply || xcb_get_property_value_length(reply.get()) < 4) {
        return std::nullopt;
    }
    return *static_cast<uint32_t*>(xcb_get_property_value(reply.get()));
}

} // namespace
#endif

bool compositorRunning() {
#ifdef TALLYFIN_HAVE_XCB
    xcb_connection_t* c = connection();
    int number = 0;
    if (!c || !defaultScreen(c, &number)) {
        return false;
    }
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(number);
    const xcb_atom_t selection = atom(c, name.constData());
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> reply(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr),
        &std::free);
    return reply && reply->owner != XCB_WINDOW_NONE;
#else
    return false;
#endif
}

void setOnAllDesktops(QWindow& window, bool all) {
#ifdef TALLYFIN_HAVE_XCB
    xcb_connection_t* c = connection();
    int number = 0;
    xcb_screen_t* screen = c ? defaultScreen(c, &number) : nullptr;
    if (!screen) {
        return;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t desktopAtom = atom(c, "_NET_WM_DESKTOP");
    const xcb_atom_t stateAtom = atom(c, "_NET_WM_STATE");
    const xcb_atom_t stickyAtom = atom(c, "_NET_WM_STATE_STICKY");
    uint32_t desktop = 0xFFFFFFFF;
    if (!all) {
        desktop = cardinal(c, screen->root, atom(c, "_NET_CURRENT_DESKTOP")).value_or(0);
    }
    // The property is what a window manager reads when it maps the window (and what a session
    // without one keeps); the messages ask a running window manager to move a mapped window.
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, desktopAtom, XCB_ATOM_CARDINAL, 32, 1,
                        &desktop);
    sendToRoot(c, screen->root, id, desktopAtom, desktop, 0, 0);
    constexpr uint32_t remove = 0;
    constexpr uint32_t add = 1;
    sendToRoot(c, screen->root, id, stateAtom, all ? add : remove, stickyAtom, 0);
    xcb_flush(c);
    qCDebug(lcUi) << "panel on all desktops:" << all;
#else
    Q_UNUSED(window)
    Q_UNUSED(all)
#endif
}

} // namespace tallyfin::ui::x11
