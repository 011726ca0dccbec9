// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "WavyRoundedRectangleItem.h"

#include <QPainter>
#include <QPen>

namespace tallyfin::ui {

WavyRoundedRectangleItem::WavyRoundedRectangleItem(QQuickItem* parent)
    : SlicedPaintedItem(parent) {}

void WavyRoundedRectangleItem::setShapeField(qreal geometry::WavyRoundedRectangle::*field,
                                             qreal value,
                                             void (WavyRoundedRectangleItem::*signal)()) {
    if (m_shape.*field == value) {
        return;
    }
    m_shape.*field = value;
    refresh();
    Q_EMIT(this->*signal)();
}

void WavyRoundedRectangleItem::setCornerRadius(qreal value) {
    setShapeField(&geometry::WavyRoundedRectangle::cornerRadius, value,
                  &WavyRoundedRectangleItem::cornerRadiusChanged);
}

void WavyRoundedRectangleItem::setPhase(qreal value) {
    setShapeField(&geometry::WavyRoundedRectangle::phase, value,
                  &WavyRoundedRectangleItem::phaseChanged);
}

void WavyRoundedRectangleItem::setAmplitude(qreal value) {
    setShapeField(&geometry::WavyRoundedRectangle::amplitude, value,
                  &WavyRoundedRectangleItem::amplitudeChanged);
}

void WavyRoundedRectangleItem::setTraverseRatio(qreal value) {
    setShapeField(&geometry::WavyRoundedRectangle::traverseRatio, value,
                  &WavyRoundedRectangleItem::traverseRatioChanged);
}

void WavyRoundedRectangleItem::setInsetAmount(qreal value) {
    setShapeField(&geometry::WavyRoundedRectangle::insetAmount, value,
                  &WavyRoundedRectangleItem::insetAmountChanged);
}

void WavyRoundedRectangleItem::setColor(const QColor& value) {
    if (m_color == value) {
        return;
    }
    m_color = value;
    update();
    Q_EMIT colorChanged();
}

void WavyRoundedRectangleItem::setBorderColor(const QColor& value) {
    if (m_borderColor == value) {
        return;
    }
    m_borderColor = value;
    update();
    Q_EMIT borderColorChanged();
}

void WavyRoundedRectangleItem::setBorderWidth(qreal value) {
    if (m_borderWidth == value) {
        return;
    }
    m_borderWidth = value;
    refresh();
    update();
    Q_EMIT borderWidthChanged();
}

void WavyRoundedRectangleItem::geometryChange(const QRectF& newGeometry,
                                              const QRectF& oldGeometry) {
    SlicedPaintedItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size()) {
        refresh();
    }
}

void WavyRoundedRectangleItem::refresh() {
    const QRectF bounds(0, 0, width(), height());
    geometry::WavyOutline fill = m_shape.outline(bounds);
    // The border's centre line runs half its width inside the edge, so the whole stroke stays
    // within the item and follows the fill exactly.
    geometry::WavyOutline border = m_borderWidth > 0
                                       ? m_shape.inset(m_borderWidth / 2).outline(bounds)
                                       : geometry::WavyOutline{};
    if (fill == m_fill && border == m_border) {
        return;
    }
    const bool wasDented = isDented();
    m_fill = std::move(fill);
    m_border = std::move(border);
    update();
    if (wasDented != isDented()) {
        Q_EMIT dentedChanged();
    }
}

void WavyRoundedRectangleItem::paint(QPainter* painter) {
    painter->setRenderHint(QPainter::Antialiasing, true);
    if (m_color.alpha() > 0 && !m_fill.isEmpty()) {
        painter->fillPath(m_fill.toPath(), m_color);
    }
    if (m_borderWidth > 0 && m_borderColor.alpha() > 0 && !m_border.isEmpty()) {
        QPen pen(m_borderColor, m_borderWidth);
        pen.setJoinStyle(Qt::RoundJoin);
        painter->strokePath(m_border.toPath(), pen);
    }
}

} // namespace tallyfin::ui
