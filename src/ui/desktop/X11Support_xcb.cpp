// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "X11Support.h"
#include "X11Xcb.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <algorithm>
#include <cstring>
#include <vector>
#include <xcb/shape.h>

namespace tallyfin::ui::x11 {

using namespace Qt::StringLiterals;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    const auto answer = reply(xcb_intern_atom_reply(c, cookie, nullptr));
    return answer ? answer->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

xcb_screen_t* screenOf(xcb_connection_t* c, int number) {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; it.rem > 0; ++i, xcb_screen_next(&it)) {
        if (i == number) {
            return it.data;
        }
    }
    return nullptr;
}

std::optional<uint32_t> cardinal(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
    const auto cookie = xcb_get_property(c, 0, window, property, XCB_ATOM_CARDINAL, 0, 1);
    const auto answer = reply(xcb_get_property_reply(c, cookie, nullptr));
    if (!answer || xcb_get_property_value_length(answer.get()) < 4) {
        return std::nullopt;
    }
    return *static_cast<uint32_t*>(xcb_get_property_value(answer.get()));
}

bool compositorOwnsSelection(xcb_connection_t* c, xcb_atom_t selection) {
    const auto answer =
        reply(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
    return answer && answer->owner != XCB_WINDOW_NONE;
}

namespace {

xcb_connection_t* qtConnection() {
    if (QGuiApplication::platformName() != u"xcb") {
        return nullptr;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

bool hasShapeExtension(xcb_connection_t* c) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_shape_id);
    return extension && extension->present;
}

void shapeTo(xcb_connection_t* c, xcb_window_t window, xcb_shape_kind_t kind,
             const QRegion& region) {
    std::vector<xcb_rectangle_t> rects;
    rects.reserve(static_cast<size_t>(region.rectCount()));
    for (const QRect& r : region) {
        rects.push_back({static_cast<int16_t>(r.x()), static_cast<int16_t>(r.y()),
                         static_cast<uint16_t>(r.width()), static_cast<uint16_t>(r.height())});
    }
    xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, kind, XCB_CLIP_ORDERING_UNSORTED, window, 0, 0,
                         static_cast<uint32_t>(rects.size()), rects.data());
}

} // namespace

bool displayOpens(const QByteArray& name) {
    xcb_connection_t* c = xcb_connect(name.constData(), nullptr);
    const bool opens = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    return opens;
}

void setShape(QWindow& window, const std::optional<QRegion>& visible, const QRegion& input) {
    xcb_connection_t* c = qtConnection();
    if (!c || !hasShapeExtension(c)) {
        return;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (visible) {
        shapeTo(c, id, XCB_SHAPE_SK_BOUNDING, *visible);
    } else {
        xcb_shape_mask(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, id, 0, 0, XCB_PIXMAP_NONE);
    }
    shapeTo(c, id, XCB_SHAPE_SK_INPUT, input);
    xcb_flush(c);
}

bool serverIsXWayland() {
    xcb_connection_t* c = qtConnection();
    if (!c) {
        return false;
    }
    constexpr char name[] = "XWAYLAND";
    const auto answer = reply(
        xcb_query_extension_reply(c, xcb_query_extension(c, sizeof(name) - 1, name), nullptr));
    if (answer && answer->present) {
        return true;
    }
    // Before the extension, XWayland told itself by its outputs' names (XWAYLAND0, …), which Qt
    // gives its screens.
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(),
                       [](const QScreen* s) { return s->name().startsWith("XWAYLAND"_L1); });
}

} // namespace tallyfin::ui::x11
