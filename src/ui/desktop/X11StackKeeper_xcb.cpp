// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "DesktopLogging.h"
#include "X11StackKeeper.h"
#include "X11Xcb.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace tallyfin::ui::x11 {

namespace {

// More restacks than this in one second means another client fights for the top.
constexpr int restacksPerSecond = 30;

// The application's windows to keep on top, in the order they stack: a window that belongs to
// another (the popover to the panel) goes above it.
std::vector<xcb_window_t> keptWindows() {
    std::vector<QWindow*> windows;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        const Qt::WindowFlags flags = window->flags();
        if (window->isVisible() && window->handle() &&
            flags.testFlag(Qt::BypassWindowManagerHint) &&
            flags.testFlag(Qt::WindowStaysOnTopHint) && window->type() != Qt::Popup &&
            window->type() != Qt::ToolTip) {
            windows.push_back(window);
        }
    }
    std::stable_sort(windows.begin(), windows.end(), [](QWindow* a, QWindow* b) {
        return !a->transientParent() && b->transientParent();
    });
    std::vector<xcb_window_t> ids;
    for (QWindow* window : windows) {
        ids.push_back(static_cast<xcb_window_t>(window->winId()));
    }
    return ids;
}

} // namespace

std::unique_ptr<StackKeeper> StackKeeper::create(QObject* parent) {
    if (QGuiApplication::platformName() != u"xcb") {
        return nullptr;
    }
    int screen = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(c) || !screenOf(c, screen)) {
        qCWarning(lcDesktop)
            << "cannot watch the window stacking: the X display did not open again";
        xcb_disconnect(c);
        return nullptr;
    }
    return std::unique_ptr<StackKeeper>(new StackKeeper(c, screen, parent));
}

StackKeeper::StackKeeper(xcb_connection_t* connection, int screen, QObject* parent)
    : QObject(parent)
    , m_connection(connection) {
    xcb_connection_t* c = m_connection;
    m_root = screenOf(c, screen)->root;
    m_currentDesktopAtom = atom(c, "_NET_CURRENT_DESKTOP");
    // Interned once: the selection is asked for again whenever windows come or go.
    const QByteArray selection = "_NET_WM_CM_S" + QByteArray::number(screen);
    m_compositorSelectionAtom = atom(c, selection.constData());
    // Per client, so Qt's own selection on the root window stays as it is.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, m_root, XCB_CW_EVENT_MASK, &mask);
    m_currentDesktop = readCurrentDesktop();
    m_compositorRunning = compositorOwnsSelection(c, m_compositorSelectionAtom);
    xcb_flush(c);
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(c), QSocketNotifier::Read, this);
    QObject::connect(m_notifier, &QSocketNotifier::activated, this, &StackKeeper::readEvents);
}

StackKeeper::~StackKeeper() {
    xcb_disconnect(m_connection);
}

int StackKeeper::readCurrentDesktop() const {
    const auto desktop = cardinal(m_connection, m_root, m_currentDesktopAtom);
    return desktop ? static_cast<int>(*desktop) : -1;
}

void StackKeeper::readEvents() {
    xcb_connection_t* c = m_connection;
    // Waiting for replies below reads later events into xcb's queue, where the socket notifier
    // does not see them: take those too before returning.
    for (bool first = true;; first = false) {
        bool stacking = false;
        bool windowsCameOrWent = false;
        bool desktop = false;
        while (auto event = reply(first ? xcb_poll_for_event(c) : xcb_poll_for_queued_event(c))) {
            switch (event->response_type & 0x7f) {
            case XCB_CONFIGURE_NOTIFY:
            case XCB_MAP_NOTIFY:
            case XCB_CIRCULATE_NOTIFY:
            case XCB_REPARENT_NOTIFY:
                stacking = true;
                break;
            case XCB_CREATE_NOTIFY:
            case XCB_DESTROY_NOTIFY:
                windowsCameOrWent = true;
                break;
            case XCB_PROPERTY_NOTIFY:
                desktop =
                    desktop || reinterpret_cast<xcb_property_notify_event_t*>(event.get())->atom ==
                                   m_currentDesktopAtom;
                break;
            default:
                break; // errors of restacks that raced a window's destruction, and the rest
            }
        }
        if (xcb_connection_has_error(c)) {
            qCWarning(lcDesktop) << "lost the X connection that watches the window stacking";
            m_notifier->setEnabled(false);
            return;
        }
        if (!stacking && !windowsCameOrWent && !desktop) {
            return;
        }
        if (desktop) {
            if (const int now = readCurrentDesktop(); now != m_currentDesktop) {
                m_currentDesktop = now;
                Q_EMIT currentDesktopChanged(now);
            }
        }
        if (windowsCameOrWent) {
            // A compositing manager announces itself by owning a selection through a window.
            if (const bool running = compositorOwnsSelection(c, m_compositorSelectionAtom);
                running != m_compositorRunning) {
                m_compositorRunning = running;
                qCInfo(lcDesktop) << "compositing manager running:" << running;
                Q_EMIT compositorRunningChanged(running);
            }
        }
        if (stacking) {
            restack();
        }
    }
}

void StackKeeper::restack() {
    xcb_connection_t* c = m_connection;
    const std::vector<xcb_window_t> ours = keptWindows();
    if (ours.empty()) {
        return;
    }
    const auto tree = reply(xcb_query_tree_reply(c, xcb_query_tree(c, m_root), nullptr));
    if (!tree) {
        return;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    // Where each of ours is, bottom to top; -1 when the server does not list it yet.
    std::vector<int> positions;
    for (const xcb_window_t window : ours) {
        const auto it = std::find(children, children + count, window);
        positions.push_back(it == children + count ? -1 : static_cast<int>(it - children));
    }
    const int lowest = *std::min_element(positions.begin(), positions.end());
    if (lowest < 0) {
        return;
    }
    const bool inOrder = std::is_sorted(positions.begin(), positions.end());

    std::vector<std::pair<int, xcb_get_window_attributes_cookie_t>> above;
    for (int i = lowest + 1; i < count; ++i) {
        if (std::find(ours.begin(), ours.end(), children[i]) == ours.end()) {
            above.emplace_back(i, xcb_get_window_attributes(c, children[i]));
        }
    }
    int highestManaged = -1;
    for (const auto& [index, cookie] : above) {
        const auto attributes = reply(xcb_get_window_attributes_reply(c, cookie, nullptr));
        if (attributes && !attributes->override_redirect &&
            attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
            attributes->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT) {
            highestManaged = index;
        }
    }
    if (highestManaged < 0 && inOrder) {
        return;
    }

    if (!m_restackWindow.isValid() || m_restackWindow.elapsed() > 1000) {
        m_restackWindow.start();
        m_restacksInWindow = 0;
    }
    if (++m_restacksInWindow > restacksPerSecond) {
        if (!m_warnedAboutFight) {
            m_warnedAboutFight = true;
            qCWarning(lcDesktop) << "another window keeps rising above the panel; trying again "
                                    "once a second";
        }
        if (m_restacksInWindow == restacksPerSecond + 1) {
            QTimer::singleShot(1000, this, &StackKeeper::restack);
        }
        return;
    }

    // Just above the highest managed window, each of ours above the one before.
    xcb_window_t sibling = highestManaged >= 0 ? children[highestManaged] : ours.front();
    for (size_t i = highestManaged >= 0 ? 0 : 1; i < ours.size(); ++i) {
        const uint32_t values[] = {sibling, XCB_STACK_MODE_ABOVE};
        xcb_configure_window(c, ours[i], XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE,
                             values);
        sibling = ours[i];
    }
    xcb_flush(c);
    qCDebug(lcDesktop) << "put the panel back above the window manager's windows";
}

} // namespace tallyfin::ui::x11
