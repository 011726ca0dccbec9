// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegion>

namespace tallyfin::ui {

// Cuts a window to the outline of one of its items: only there does it take the pointer, so
// clicks in its transparent margins reach the window below, and with `cutVisible` (no
// compositing manager, so no real translucency) only there does it show, so no square corners
// appear around a rounded outline. Follows the outline frame by frame (size changes, the moving
// dent, the panel's frame animation).
class WindowShape : public QObject {
    Q_OBJECT
    Q_PROPERTY(QQuickWindow* window READ window WRITE setWindow NOTIFY windowChanged)
    // A wavy rounded rectangle or a Rectangle gives its own shape; any other item the union of
    // its visible children's.
    Q_PROPERTY(QQuickItem* outline READ outline WRITE setOutline NOTIFY outlineChanged)
    Q_PROPERTY(bool cutVisible READ cutVisible WRITE setCutVisible NOTIFY cutVisibleChanged)
    // No pointer input at all: every click goes to the window below.
    Q_PROPERTY(bool passThrough READ passThrough WRITE setPassThrough NOTIFY passThroughChanged)

public:
    explicit WindowShape(QObject* parent = nullptr);

    QQuickWindow* window() const { return m_window; }
    void setWindow(QQuickWindow* window);
    QQuickItem* outline() const { return m_outline; }
    void setOutline(QQuickItem* outline);
    bool cutVisible() const { return m_cutVisible; }
    void setCutVisible(bool cut);
    bool passThrough() const { return m_passThrough; }
    void setPassThrough(bool passThrough);
    // Where the window takes the pointer, as last applied.
    QRegion inputRegion() const { return m_appliedPassThrough ? QRegion() : m_applied; }

Q_SIGNALS:
    void windowChanged();
    void outlineChanged();
    void cutVisibleChanged();
    void passThroughChanged();

private:
    void apply(bool force = false);

    QPointer<QQuickWindow> m_window;
    QPointer<QQuickItem> m_outline;
    bool m_cutVisible = false;
    bool m_passThrough = false;
    bool m_appliedPassThrough = false;
    // The outline in the window's device pixels, as last applied.
    QRegion m_applied;
    QList<qreal> m_appliedKey;
    bool m_appliedCut = false;
    QMetaObject::Connection m_frames;
};

} // namespace tallyfin::ui
