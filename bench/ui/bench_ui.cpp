// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Benchmarks of the overlay's drawing pieces: computing and painting the searching outline (30
// times a second while the list searches), painting the power chart (once per sample), painting
// one of our own symbol images, and reading an appcast feed.
#include "ui/geometry/PowerSparkline.h"
#include "ui/geometry/WavyRoundedRectangle.h"
#include "ui/update/Appcast.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <benchmark/benchmark.h>
#include <cmath>

using namespace tallyfin;

namespace {

geometry::WavyRoundedRectangle searching(qreal phase) {
    return {.cornerRadius = 22, .phase = phase, .amplitude = 3.5, .traverseRatio = 0.6};
}

void BM_WavyOutline(benchmark::State& state) {
    const QRectF rect(0, 0, 580, 58);
    int tick = 0;
    for (auto _ : state) {
        const auto outline = searching((tick++ % 27) / 45.0).outline(rect);
        benchmark::DoNotOptimize(outline.points.data());
    }
}
BENCHMARK(BM_WavyOutline);

// One repaint of the dented outline, as the painted item does it: a 580 x 58 antialiased fill
// at the given device pixel ratio.
void BM_WavyPaint(benchmark::State& state) {
    const qreal dpr = qreal(state.range(0));
    QImage image(QSize(580, 58) * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    int tick = 0;
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        const auto outline = searching((tick++ % 27) / 45.0).outline(QRectF(0, 0, 580, 58));
        painter.fillPath(outline.toPath(), QColor(0, 0, 0, 140));
    }
}
BENCHMARK(BM_WavyPaint)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// One repaint of a full power chart (120 samples) across a strip of the given width, as the item
// paints it: 1920 (size large on a 1920-wide screen, whole-pixel bars) and 1786 (medium, bars at
// fractional positions).
void BM_SparklinePaint(benchmark::State& state) {
    QList<int> samples;
    for (int i = 0; i < 120; ++i) {
        samples.append(200 + int(60 * std::sin(i / 7.0)));
    }
    const QSizeF size(qreal(state.range(0)), 70);
    QImage image(size.toSize(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        QPainterPath clip;
        clip.addRoundedRect(QRectF(QPointF(0, 0), size), 26, 26);
        painter.setClipPath(clip);
        for (const QRectF& bar : geometry::sparklineBars(samples, 120, 1, size)) {
            painter.fillRect(bar, QColor(255, 255, 255, 90));
        }
    }
}
BENCHMARK(BM_SparklinePaint)->Arg(1920)->Arg(1786)->Unit(benchmark::kMicrosecond);

// One repaint of the metronome tile symbol at 20 points: the image is rendered and tinted.
void BM_SymbolImagePaint(benchmark::State& state) {
    QSvgRenderer renderer(QStringLiteral(":/tallyfin/symbols/metronome.svg"));
    for (auto _ : state) {
        QImage mask(20, 20, QImage::Format_ARGB32_Premultiplied);
        mask.fill(Qt::transparent);
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing, true);
        renderer.render(&painter, QRectF(0, 0, 20, 20));
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(mask.rect(), Qt::white);
    }
}
BENCHMARK(BM_SymbolImagePaint)->Unit(benchmark::kMicrosecond);

void BM_ParseAppcast(benchmark::State& state) {
    QFile file(QStringLiteral(TALLYFIN_BENCH_FEED));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("feed file missing");
        return;
    }
    const QByteArray feed = file.readAll();
    const QUrl url(QStringLiteral("https://tallyfin.example/appcast.xml"));
    for (auto _ : state) {
        const auto result = update::parseAppcast(feed, url);
        benchmark::DoNotOptimize(result.appcast.has_value());
    }
}
BENCHMARK(BM_ParseAppcast)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
