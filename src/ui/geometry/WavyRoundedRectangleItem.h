// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/geometry/SlicedPaintedItem.h"
#include "ui/geometry/WavyRoundedRectangle.h"

#include <QColor>

namespace tallyfin::ui {

// Paints a WavyRoundedRectangle filling the item: a translucent fill and an optional border drawn
// just inside the edge. It repaints only when the outline or the colours really change, so a
// phase that moves while the shape rests costs nothing. Motion comes from the caller setting
// `phase` (the device list does so from a 30 Hz timer while it searches).
class WavyRoundedRectangleItem : public tallyfin::ui::SlicedPaintedItem {
    Q_OBJECT
    Q_PROPERTY(
        qreal cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY cornerRadiusChanged)
    Q_PROPERTY(qreal phase READ phase WRITE setPhase NOTIFY phaseChanged)
    Q_PROPERTY(qreal amplitude READ amplitude WRITE setAmplitude NOTIFY amplitudeChanged)
    Q_PROPERTY(
        qreal traverseRatio READ traverseRatio WRITE setTraverseRatio NOTIFY traverseRatioChanged)
    Q_PROPERTY(qreal insetAmount READ insetAmount WRITE setInsetAmount NOTIFY insetAmountChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(QColor borderColor READ borderColor WRITE setBorderColor NOTIFY borderColorChanged)
    Q_PROPERTY(qreal borderWidth READ borderWidth WRITE setBorderWidth NOTIFY borderWidthChanged)
    // True while the dent shows, false while the outline rests.
    Q_PROPERTY(bool dented READ isDented NOTIFY dentedChanged)

public:
    explicit WavyRoundedRectangleItem(QQuickItem* parent = nullptr);

    qreal cornerRadius() const { return m_shape.cornerRadius; }
    void setCornerRadius(qreal value);
    qreal phase() const { return m_shape.phase; }
    void setPhase(qreal value);
    qreal amplitude() const { return m_shape.amplitude; }
    void setAmplitude(qreal value);
    qreal traverseRatio() const { return m_shape.traverseRatio; }
    void setTraverseRatio(qreal value);
    qreal insetAmount() const { return m_shape.insetAmount; }
    void setInsetAmount(qreal value);
    QColor color() const { return m_color; }
    void setColor(const QColor& value);
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor& value);
    qreal borderWidth() const { return m_borderWidth; }
    void setBorderWidth(qreal value);
    bool isDented() const { return !m_fill.isResting(); }

    const geometry::WavyRoundedRectangle& shape() const { return m_shape; }
    // The outline the fill is painted with, in item coordinates.
    const geometry::WavyOutline& outline() const { return m_fill; }

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void cornerRadiusChanged();
    void phaseChanged();
    void amplitudeChanged();
    void traverseRatioChanged();
    void insetAmountChanged();
    void colorChanged();
    void borderColorChanged();
    void borderWidthChanged();
    void dentedChanged();

protected:
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private:
    void setShapeField(qreal geometry::WavyRoundedRectangle::*field, qreal value,
                       void (WavyRoundedRectangleItem::*signal)());
    // Recomputes the outlines and schedules a repaint when they differ from the painted ones.
    void refresh();

    geometry::WavyRoundedRectangle m_shape;
    QColor m_color = Qt::white;
    QColor m_borderColor = Qt::transparent;
    qreal m_borderWidth = 0;
    geometry::WavyOutline m_fill;
    geometry::WavyOutline m_border;
};

} // namespace tallyfin::ui
