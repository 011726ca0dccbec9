// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "WindowShape.h"

#include "X11Support.h"
#include "ui/geometry/WavyRoundedRectangleItem.h"

#include <QPainterPath>

namespace tallyfin::ui {

WindowShape::WindowShape(QObject* parent)
    : QObject(parent) {}

void WindowShape::setWindow(QQuickWindow* window) {
    if (window == m_window) {
        return;
    }
    QObject::disconnect(m_frames);
    m_window = window;
    if (m_window) {
        // Every frame, once animations and layouts have moved the items.
        m_frames =
            QObject::connect(m_window, &QQuickWindow::afterAnimating, this, [this]() { apply(); });
    }
    apply(true);
    Q_EMIT windowChanged();
}

void WindowShape::setOutline(QQuickItem* outline) {
    if (outline != m_outline) {
        m_outline = outline;
        apply();
        Q_EMIT outlineChanged();
    }
}

void WindowShape::setCutVisible(bool cut) {
    if (cut != m_cutVisible) {
        m_cutVisible = cut;
        apply();
        Q_EMIT cutVisibleChanged();
    }
}

void WindowShape::setPassThrough(bool passThrough) {
    if (passThrough != m_passThrough) {
        m_passThrough = passThrough;
        apply();
        Q_EMIT passThroughChanged();
    }
}

namespace {

// The outline in the window's device pixels, which is what the X server counts in: at a scale
// of 2 a region in logical pixels would cover only the window's top-left quarter.
QRegion outlineRegion(const QQuickItem& item, qreal devicePixelRatio) {
    if (!item.isVisible()) {
        return {};
    }
    QPainterPath path;
    const QVariant radius = item.property("radius");
    if (const auto* wavy = qobject_cast<const WavyRoundedRectangleItem*>(&item)) {
        path = wavy->outline().toPath();
    } else if (radius.isValid()) {
        path.addRoundedRect(item.boundingRect(), radius.toReal(), radius.toReal());
    } else {
        QRegion children;
        for (const QQuickItem* child : item.childItems()) {
            children += outlineRegion(*child, devicePixelRatio);
        }
        return children;
    }
    // Rotation included: the popover's arrow is a turned square.
    const QTransform toDevice = item.itemTransform(nullptr, nullptr) *
                                QTransform::fromScale(devicePixelRatio, devicePixelRatio);
    return QRegion(toDevice.map(path).toFillPolygon().toPolygon());
}

// What that region is made of, as numbers: far cheaper to compare than to build the region.
void appendOutlineKey(const QQuickItem& item, QList<qreal>& key) {
    if (!item.isVisible()) {
        key.append(-1);
        return;
    }
    const auto* wavy = qobject_cast<const WavyRoundedRectangleItem*>(&item);
    const QVariant radius = wavy ? QVariant() : item.property("radius");
    if (!wavy && !radius.isValid()) {
        for (const QQuickItem* child : item.childItems()) {
            appendOutlineKey(*child, key);
        }
        key.append(-2);
        return;
    }
    const QTransform toWindow = item.itemTransform(nullptr, nullptr);
    key << toWindow.m11() << toWindow.m12() << toWindow.m21() << toWindow.m22() << toWindow.dx()
        << toWindow.dy() << item.width() << item.height();
    if (wavy) {
        const geometry::WavyOutline& shape = wavy->outline();
        key << shape.rect.x() << shape.rect.y() << shape.rect.width() << shape.rect.height()
            << shape.cornerRadius;
        for (const QPointF& point : shape.points) {
            key << point.x() << point.y();
        }
    } else {
        key << radius.toReal();
    }
}

} // namespace

void WindowShape::apply(bool force) {
    if (!m_window || !m_window->handle()) {
        return;
    }
    // Called for every frame: the region is built only when the outline has moved or changed.
    const qreal ratio = m_window->devicePixelRatio();
    QList<qreal> key{ratio};
    if (m_outline) {
        appendOutlineKey(*m_outline, key);
    }
    const bool same = m_cutVisible == m_appliedCut && m_passThrough == m_appliedPassThrough;
    if (!force && key == m_appliedKey && same) {
        return;
    }
    const QRegion region = m_outline ? outlineRegion(*m_outline, ratio) : QRegion();
    m_appliedKey = std::move(key);
    if (!force && region == m_applied && same) {
        return;
    }
    m_applied = region;
    m_appliedCut = m_cutVisible;
    m_appliedPassThrough = m_passThrough;
    x11::setShape(*m_window, m_cutVisible ? std::optional<QRegion>(region) : std::nullopt,
                  m_passThrough ? QRegion() : region);
}

} // namespace tallyfin::ui
