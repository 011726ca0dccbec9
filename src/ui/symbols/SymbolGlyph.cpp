// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "SymbolGlyph.h"

#include "ui/symbols/SymbolResolver.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

namespace tallyfin::ui {

SymbolGlyph::SymbolGlyph(QQuickItem* parent)
    : QQuickPaintedItem(parent) {
    setAntialiasing(true);
    updateMetrics();
}

void SymbolGlyph::setName(const QString& value) {
    if (m_symbol.name == value) {
        return;
    }
    m_symbol = value.isEmpty() ? Symbol{} : SymbolResolver::resolve(value);
    updateMetrics();
    update();
    Q_EMIT nameChanged();
}

void SymbolGlyph::setColor(const QColor& value) {
    if (m_color == value) {
        return;
    }
    m_color = value;
    update();
    Q_EMIT colorChanged();
}

void SymbolGlyph::setPixelSize(qreal value) {
    if (m_pixelSize == value) {
        return;
    }
    m_pixelSize = value;
    updateMetrics();
    update();
    Q_EMIT pixelSizeChanged();
}

QFont SymbolGlyph::font() const {
    QFont font(SymbolResolver::fontFamily());
    font.setPixelSize(std::max(1, int(std::lround(m_pixelSize))));
    return font;
}

void SymbolGlyph::updateMetrics() {
    // The icon font's em square stands on the baseline (ascent one em, no descent); images take
    // the same square, so both kinds line up alike.
    const qreal size = std::max<qreal>(0, m_pixelSize);
    setImplicitSize(size, size);
    setBaselineOffset(size);
}

void SymbolGlyph::paint(QPainter* painter) {
    if (!m_symbol.isKnown() || m_pixelSize <= 0) {
        return;
    }
    // The em square, centred horizontally, standing on the baseline of a centred line.
    const qreal size = m_pixelSize;
    const QRectF square((width() - size) / 2, (height() - size) / 2, size, size);
    if (m_symbol.isLigature()) {
        painter->setRenderHint(QPainter::TextAntialiasing, true);
        painter->setFont(font());
        painter->setPen(m_color);
        painter->drawText(square, Qt::AlignCenter, m_symbol.ligature);
    } else {
        paintImage(painter, square);
    }
}

void SymbolGlyph::paintImage(QPainter* painter, const QRectF& square) {
    QSvgRenderer renderer(u':' + m_symbol.source.path());
    if (!renderer.isValid()) {
        return;
    }
    // Render the black image at device resolution, then keep only its coverage in our colour.
    const qreal dpr = painter->device()->devicePixelRatioF();
    const QSize pixels(int(std::ceil(square.width() * dpr)), int(std::ceil(square.height() * dpr)));
    QImage mask(pixels, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter maskPainter(&mask);
        maskPainter.setRenderHint(QPainter::Antialiasing, true);
        renderer.render(&maskPainter, QRectF(QPointF(0, 0), QSizeF(pixels)));
        maskPainter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        maskPainter.fillRect(mask.rect(), m_color);
    }
    mask.setDevicePixelRatio(dpr);
    painter->drawImage(square.topLeft(), mask);
}

} // namespace tallyfin::ui
