// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/symbols/Symbol.h"

#include <QColor>
#include <QFont>
#include <QQuickPaintedItem>

namespace tallyfin::ui {

// Paints one named symbol in one colour: a ligature of the icon font or one of our own images,
// tinted alike, so every symbol looks the same whichever way it is drawn. Its implicit size and
// baseline are those of the icon font at `pixelSize` (a square of that size standing on the
// baseline), so it lines up with text on a common baseline.
class SymbolGlyph : public QQuickPaintedItem {
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(qreal pixelSize READ pixelSize WRITE setPixelSize NOTIFY pixelSizeChanged)
    // A soft halo of about 3 points around the symbol, so that it reads over what lies beneath;
    // none while transparent.
    Q_PROPERTY(QColor glowColor READ glowColor WRITE setGlowColor NOTIFY glowColorChanged)
    Q_PROPERTY(tallyfin::ui::Symbol symbol READ symbol NOTIFY nameChanged)

public:
    explicit SymbolGlyph(QQuickItem* parent = nullptr);

    QString name() const { return m_symbol.name; }
    void setName(const QString& value);
    QColor color() const { return m_color; }
    void setColor(const QColor& value);
    qreal pixelSize() const { return m_pixelSize; }
    void setPixelSize(qreal value);
    QColor glowColor() const { return m_glowColor; }
    void setGlowColor(const QColor& value);
    Symbol symbol() const { return m_symbol; }

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void nameChanged();
    void colorChanged();
    void pixelSizeChanged();
    void glowColorChanged();

private:
    QFont font() const;
    void updateMetrics();
    void paintSymbol(QPainter* painter, const QRectF& square, const QColor& color);
    void paintImage(QPainter* painter, const QRectF& square, const QColor& color);

    Symbol m_symbol;
    QColor m_color = Qt::black;
    QColor m_glowColor = Qt::transparent;
    qreal m_pixelSize = 14;
};

} // namespace tallyfin::ui
