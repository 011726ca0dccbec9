// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "DesktopLogging.h"
#include "X11SelectionWatch.h"
#include "X11Xcb.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include <xcb/xfixes.h>

namespace tallyfin::ui::x11 {

std::unique_ptr<SelectionWatch> SelectionWatch::create(const QByteArray& prefix, QObject* parent) {
    if (QGuiApplication::platformName() != u"xcb") {
        return nullptr;
    }
    int screen = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen);
    const xcb_query_extension_reply_t* xfixes =
        xcb_connection_has_error(c) ? nullptr : xcb_get_extension_data(c, &xcb_xfixes_id);
    // XFixes answers nothing until the client has said which version it speaks.
    const auto version =
        xfixes && xfixes->present
            ? reply(xcb_xfixes_query_version_reply(
                  c,
                  xcb_xfixes_query_version(c, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
                  nullptr))
            : reply<xcb_xfixes_query_version_reply_t>(nullptr);
    const xcb_screen_t* root = version ? screenOf(c, screen) : nullptr;
    if (!root) {
        qCWarning(lcDesktop) << "cannot watch the selection" << prefix
                             << "without XFixes on a second X connection";
        xcb_disconnect(c);
        return nullptr;
    }
    const QByteArray name = prefix + QByteArray::number(screen);
    xcb_xfixes_select_selection_input(c, root->root, atom(c, name.constData()),
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(c);
    return std::unique_ptr<SelectionWatch>(
        new SelectionWatch(c, xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY, parent));
}

SelectionWatch::SelectionWatch(xcb_connection_t* connection, uint8_t notifyEvent, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_notifyEvent(notifyEvent) {
    m_notifier =
        new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read, this);
    QObject::connect(m_notifier, &QSocketNotifier::activated, this, &SelectionWatch::readEvents);
}

SelectionWatch::~SelectionWatch() {
    xcb_disconnect(m_connection);
}

void SelectionWatch::readEvents() {
    bool changed = false;
    while (const auto event = reply(xcb_poll_for_event(m_connection))) {
        changed = changed || (event->response_type & 0x7f) == m_notifyEvent;
    }
    if (xcb_connection_has_error(m_connection)) {
        qCWarning(lcDesktop) << "lost the X connection that watches a selection";
        m_notifier->setEnabled(false);
        return;
    }
    if (changed) {
        Q_EMIT ownerChanged();
    }
}

} // namespace tallyfin::ui::x11
