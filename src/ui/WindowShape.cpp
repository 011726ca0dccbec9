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

QRegion WindowShape::outlineRegion(const QQuickItem& item) {
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
            children += outlineRegion(*child);
        }
        return children;
    }
    // Rotation included: the popover's arrow is a turned square.
    const QTransform toWindow = item.itemTransform(nullptr, nullptr);
    return QRegion(toWindow.map(path).toFillPolygon().toPolygon());
}

void WindowShape::apply(bool force) {
    if (!m_window || !m_window->handle()) {
        return;
    }
    const QRegion region = m_outline ? outlineRegion(*m_outline) : QRegion();
    if (!force && region == m_applied && m_cutVisible == m_appliedCut) {
        return;
    }
    m_applied = region;
    m_appliedCut = m_cutVisible;
    x11::setShape(*m_window, m_cutVisible ? std::optional<QRegion>(region) : std::nullopt, region);
}

} // namespace tallyfin::ui
