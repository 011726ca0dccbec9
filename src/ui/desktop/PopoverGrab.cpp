// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "PopoverGrab.h"

#include "DesktopLogging.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace tallyfin::ui {

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
    // The window system grants a grab only on a window that is on screen.
    const bool pointer = m_window->setMouseGrabEnabled(true);
    const bool keyboard = m_window->setKeyboardGrabEnabled(true);
    if (!pointer || !keyboard) {
        qCInfo(lcDesktop)
            << "the popover could not take the pointer or the keyboard; it closes from"
               " its button";
    }
    m_grabbing = pointer || keyboard;
    if (m_grabbing) {
        Q_EMIT grabbingChanged();
    }
}

void PopoverGrab::release() {
    if (!m_grabbing) {
        return;
    }
    m_grabbing = false;
    if (m_window) {
        m_window->setMouseGrabEnabled(false);
        m_window->setKeyboardGrabEnabled(false);
    }
    Q_EMIT grabbingChanged();
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
        return false;
    }
    switch (event->type()) {
    case QEvent::Expose:
        if (m_window->isExposed()) {
            // After the window system has drawn it, not from inside its event.
            QTimer::singleShot(0, this, &PopoverGrab::grab);
        }
        break;
    case QEvent::Hide:
        release();
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
