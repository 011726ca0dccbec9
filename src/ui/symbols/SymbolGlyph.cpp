// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "SymbolGlyph.h"

#include "ui/symbols/SymbolResolver.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tallyfin::ui {

namespace {

// One box blur of `radius` pixels along rows (`step` 1) or columns (`step` the width).
void boxBlur(const std::vector<float>& from, std::vector<float>& to, int lines, int length,
             int lineStep, int step, int radius) {
    const float scale = 1.0F / float(2 * radius + 1);
    for (int line = 0; line < lines; ++line) {
        const int base = line * lineStep;
        float sum = 0;
        for (int i = 0; i < std::min(radius, length); ++i) {
            sum += from[size_t(base + i * step)];
        }
        for (int i = 0; i < length; ++i) {
            if (i + radius < length) {
                sum += from[size_t(base + (i + radius) * step)];
            }
            if (i - radius - 1 >= 0) {
                sum -= from[size_t(base + (i - radius - 1) * step)];
            }
            to[size_t(base + i * step)] = sum * scale;
        }
    }
}

// The coverage of `glyph` spread by about `radius` pixels (two box blurs each way, close to a
// Gaussian) in `color`.
QImage halo(const QImage& glyph, int radius, const QColor& color) {
    const int width = glyph.width();
    const int height = glyph.height();
    std::vector<float> alpha(size_t(width) * size_t(height));
    std::vector<float> spare(alpha.size());
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(glyph.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            alpha[size_t(y * width + x)] = float(qAlpha(line[x])) / 255.0F;
        }
    }
    const int half = std::max(1, radius / 2);
    for (int pass = 0; pass < 2; ++pass) {
        boxBlur(alpha, spare, height, width, width, 1, half);
        boxBlur(spare, alpha, width, height, 1, width, half);
    }
    QImage out(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            // Thin strokes spread thin: four times, so the halo is as strong as it is wide.
            const float a = std::min(1.0F, 4 * alpha[size_t(y * width + x)]) * color.alphaF();
            line[x] = qPremultiply(qRgba(color.red(), color.green(), color.blue(), int(a * 255)));
        }
    }
    return out;
}

} // namespace

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

void SymbolGlyph::setGlowColor(const QColor& value) {
    if (m_glowColor == value) {
        return;
    }
    m_glowColor = value;
    update();
    Q_EMIT glowColorChanged();
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
    if (m_glowColor.alpha() > 0) {
        const qreal dpr = painter->device()->devicePixelRatioF();
        QImage glyph(QSize(int(std::ceil(width() * dpr)), int(std::ceil(height() * dpr))),
                     QImage::Format_ARGB32_Premultiplied);
        glyph.fill(Qt::transparent);
        glyph.setDevicePixelRatio(dpr);
        {
            QPainter glyphPainter(&glyph);
            paintSymbol(&glyphPainter, square, Qt::black);
        }
        QImage glow = halo(glyph, int(std::lround(3 * dpr)), m_glowColor);
        glow.setDevicePixelRatio(dpr);
        painter->drawImage(QPointF(0, 0), glow);
    }
    paintSymbol(painter, square, m_color);
}

void SymbolGlyph::paintSymbol(QPainter* painter, const QRectF& square, const QColor& color) {
    if (m_symbol.isLigature()) {
        painter->setRenderHint(QPainter::TextAntialiasing, true);
        painter->setFont(font());
        painter->setPen(color);
        painter->drawText(square, Qt::AlignCenter, m_symbol.ligature);
    } else {
        paintImage(painter, square, color);
    }
}

void SymbolGlyph::paintImage(QPainter* painter, const QRectF& square, const QColor& color) {
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
        maskPainter.fillRect(mask.rect(), color);
    }
    mask.setDevicePixelRatio(dpr);
    painter->drawImage(square.topLeft(), mask);
}

} // namespace tallyfin::ui
