// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "PixelSignalCompact.h"

#include <QPainter>
#include <QPainterPath>

namespace tallyfin::ui {

PixelSignalCompact::PixelSignalCompact(QQuickItem* parent)
    : QQuickPaintedItem(parent) {
    setAntialiasing(true);
    updateImplicitSize();
}

template<typename T>
void PixelSignalCompact::setSpecField(T geometry::SignalBarsSpec::*field, T value,
                                      void (PixelSignalCompact::*signal)()) {
    if (m_spec.*field == value) {
        return;
    }
    m_spec.*field = value;
    updateImplicitSize();
    update();
    Q_EMIT(this->*signal)();
}

void PixelSignalCompact::setStrength(int value) {
    setSpecField(&geometry::SignalBarsSpec::strength, value, &PixelSignalCompact::strengthChanged);
}

void PixelSignalCompact::setBarCount(int value) {
    setSpecField(&geometry::SignalBarsSpec::barCount, value, &PixelSignalCompact::barCountChanged);
}

void PixelSignalCompact::setBarWidth(qreal value) {
    setSpecField(&geometry::SignalBarsSpec::barWidth, value, &PixelSignalCompact::barWidthChanged);
}

void PixelSignalCompact::setSpacing(qreal value) {
    setSpecField(&geometry::SignalBarsSpec::spacing, value, &PixelSignalCompact::spacingChanged);
}

void PixelSignalCompact::setMaxHeight(qreal value) {
    setSpecField(&geometry::SignalBarsSpec::maxHeight, value,
                 &PixelSignalCompact::maxHeightChanged);
}

void PixelSignalCompact::setColor(const QColor& value) {
    if (m_color == value) {
        return;
    }
    m_color = value;
    update();
    Q_EMIT colorChanged();
}

void PixelSignalCompact::updateImplicitSize() {
    const QSizeF size = geometry::signalBarsSize(m_spec);
    setImplicitSize(size.width(), size.height());
}

void PixelSignalCompact::paint(QPainter* painter) {
    painter->setRenderHint(QPainter::Antialiasing, true);
    const auto bars = geometry::signalBars(m_spec, QRectF(0, 0, width(), height()));
    for (const geometry::SignalBar& bar : bars) {
        QColor colour = m_color;
        colour.setAlphaF(colour.alphaF() * bar.opacity);
        QPainterPath path;
        path.addRoundedRect(bar.rect, geometry::signalBarCornerRadius,
                            geometry::signalBarCornerRadius);
        painter->fillPath(path, colour);
    }
}

} // namespace tallyfin::ui
