// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "PopoverGrab.h"

#include "DesktopLogging.h"
#include "X11Support.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace tallyfin::ui {

using namespace Qt::StringLiterals;

PopoverClosing popoverClosing(const QString& platformName, bool xwayland) {
    return platformName == "xcb"_L1 && xwayland ? PopoverClosing::focus : PopoverClosing::grab;
}

PopoverGrab::PopoverGrab(QObject* parent)
    : QObject(parent) {}

PopoverGrab::~PopoverGrab() {
    release();
}

void PopoverGrab::setWindow(QWindow* window) {
    if (window == m_window) {
        return;
    }
    release();
    if (m_window) {
        m_window->removeEventFilter(this);
    }
    m_window = window;
    if (m_window) {
        // The X server is the same for the whole run: asked once.
        static const PopoverClosing closing =
            popoverClosing(QGuiApplication::platformName(), x11::serverIsXWayland());
        m_closing = closing;
        m_window->installEventFilter(this);
        // Each window shown while the popover is there passes here first (see eventFilter).
        qApp->installEventFilter(this);
        if (m_window->isExposed()) {
            grab();
        }
    }
    Q_EMIT windowChanged();
}

void PopoverGrab::grab() {
    if (m_grabbing || !m_window) {
        return;
    }
    if (m_closing == PopoverClosing::focus) {
        // Qt asks with the time of the click that opened it (its last X event), which the window
        // manager's focus-stealing prevention wants newer than the focused window's last input.
        m_window->requestActivate();
        return;
    }
    // The window system grants a grab only on a window that is on screen.
    const bool pointer = m_window->setMouseGrabEnabled(true);
    const bool keyboard = m_window->setKeyboardGrabEnabled(true);
    if (!pointer || !keyboard) {
        qCInfo(lcDesktop)
            << "the popover could not take the pointer or the keyboard; it closes from"
               " its button";
    }
    setGrabbing(pointer || keyboard);
}

void PopoverGrab::release() {
    if (!m_grabbing) {
        return;
    }
    if (m_window && m_closing == PopoverClosing::grab) {
        m_window->setMouseGrabEnabled(false);
        m_window->setKeyboardGrabEnabled(false);
    }
    setGrabbing(false);
}

void PopoverGrab::setGrabbing(bool grabbing) {
    if (grabbing != m_grabbing) {
        m_grabbing = grabbing;
        Q_EMIT grabbingChanged();
    }
}

void PopoverGrab::dismiss() {
    // At once, not when the window goes: the next click already belongs to what is under it.
    release();
    Q_EMIT dismissed();
}

bool PopoverGrab::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_window) {
        // A dialog about to show, before the window system maps it: the popover lets go first.
        if (event->type() == QEvent::Show && m_window && m_window->isVisible()) {
            if (auto* other = qobject_cast<QWindow*>(watched);
                other && (other->type() == Qt::Dialog || other->modality() != Qt::NonModal)) {
                qCInfo(lcDesktop) << "a dialog opens; the popover closes first";
                dismiss();
            }
        }
        // Without a grab, a click on the panel reaches the panel: it closes the popover, as
        // the grab would, and goes no further (a click on the information button would open
        // the popover again at once).
        if (event->type() == QEvent::MouseButtonPress && m_closing == PopoverClosing::focus &&
            m_window && m_window->isVisible() && qobject_cast<QWindow*>(watched)) {
            dismiss();
            return true;
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::Expose:
        if (m_window->isExposed()) {
            // After the window system has drawn it, not from inside its event.
            QTimer::singleShot(0, this, &PopoverGrab::grab);
        }
        break;
    case QEvent::Show:
        if (m_closing == PopoverClosing::focus) {
            // Just before the window system maps it (the flags of the window's description are
            // set by then): still frameless and above the others, but managed, and it takes the
            // focus.
            m_window->setFlag(Qt::BypassWindowManagerHint, false);
            m_window->setFlag(Qt::WindowDoesNotAcceptFocus, false);
        }
        break;
    case QEvent::Hide:
        release();
        break;
    case QEvent::FocusIn:
        if (m_closing == PopoverClosing::focus) {
            setGrabbing(true);
        }
        break;
    case QEvent::FocusOut:
        // The user went on in another window: a click there, or the window manager's keys.
        if (m_closing == PopoverClosing::focus && m_grabbing) {
            dismiss();
        }
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            dismiss();
            return true;
        }
        break;
    case QEvent::MouseButtonPress: {
        const auto* press = static_cast<QMouseEvent*>(event);
        if (!QRectF(QPointF(), m_window->size()).contains(press->position())) {
            dismiss();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return false;
}

} // namespace tallyfin::ui
