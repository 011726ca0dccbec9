// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ClickThrough.h"

#include <QCursor>
#include <QGuiApplication>

namespace tallyfin::ui {

ClickThrough::ClickThrough(QObject* parent)
    : QObject(parent)
    , m_pointer{
          [] { return QCursor::pos(); },
          [] { return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier); }} {
    m_timer.setInterval(pollInterval);
    QObject::connect(&m_timer, &QTimer::timeout, this, &ClickThrough::poll);
}

void ClickThrough::setWindow(QWindow* window) {
    if (window != m_window) {
        m_window = window;
        Q_EMIT windowChanged();
    }
}

void ClickThrough::setLocked(bool locked) {
    if (locked == m_locked) {
        return;
    }
    m_locked = locked;
    if (locked) {
        m_timer.start();
    } else {
        m_timer.stop();
        m_peeking = false;
    }
    Q_EMIT lockedChanged();
    Q_EMIT passThroughChanged();
}

void ClickThrough::setPointer(Pointer pointer) {
    m_pointer = std::move(pointer);
}

void ClickThrough::poll() {
    if (!m_window || !m_window->isVisible()) {
        setPeeking(false);
        return;
    }
    const bool over = m_window->geometry().contains(m_pointer.position());
    setPeeking(over && m_pointer.controlHeld());
}

void ClickThrough::setPeeking(bool peeking) {
    if (peeking != m_peeking) {
        m_peeking = peeking;
        Q_EMIT passThroughChanged();
    }
}

} // namespace tallyfin::ui
