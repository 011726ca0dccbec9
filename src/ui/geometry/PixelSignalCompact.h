// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/geometry/SignalBars.h"

#include <QColor>
#include <QQuickPaintedItem>

namespace tallyfin::ui {

// Paints a row of rising bars as a signal-strength indicator, `strength` of them lit from the
// left. Its implicit size is the row's size; in a larger item the row is centred.
class PixelSignalCompact : public QQuickPaintedItem {
    Q_OBJECT
    Q_PROPERTY(int strength READ strength WRITE setStrength NOTIFY strengthChanged)
    Q_PROPERTY(int barCount READ barCount WRITE setBarCount NOTIFY barCountChanged)
    Q_PROPERTY(qreal barWidth READ barWidth WRITE setBarWidth NOTIFY barWidthChanged)
    Q_PROPERTY(qreal spacing READ spacing WRITE setSpacing NOTIFY spacingChanged)
    Q_PROPERTY(qreal maxHeight READ maxHeight WRITE setMaxHeight NOTIFY maxHeightChanged)
    // The primary colour; lit bars show it at opacity 0.7, the others at 0.2.
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)

public:
    explicit PixelSignalCompact(QQuickItem* parent = nullptr);

    int strength() const { return m_spec.strength; }
    void setStrength(int value);
    int barCount() const { return m_spec.barCount; }
    void setBarCount(int value);
    qreal barWidth() const { return m_spec.barWidth; }
    void setBarWidth(qreal value);
    qreal spacing() const { return m_spec.spacing; }
    void setSpacing(qreal value);
    qreal maxHeight() const { return m_spec.maxHeight; }
    void setMaxHeight(qreal value);
    QColor color() const { return m_color; }
    void setColor(const QColor& value);

    const geometry::SignalBarsSpec& spec() const { return m_spec; }

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void strengthChanged();
    void barCountChanged();
    void barWidthChanged();
    void spacingChanged();
    void maxHeightChanged();
    void colorChanged();

private:
    template<typename T>
    void setSpecField(T geometry::SignalBarsSpec::*field, T value,
                      void (PixelSignalCompact::*signal)());
    void updateImplicitSize();

    geometry::SignalBarsSpec m_spec;
    QColor m_color = Qt::black;
};

} // namespace tallyfin::ui
