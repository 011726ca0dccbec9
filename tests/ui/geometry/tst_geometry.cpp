// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ui/geometry/PixelSignalCompact.h"
#include "ui/geometry/PowerSparkline.h"
#include "ui/geometry/PowerSparklineView.h"
#include "ui/geometry/SignalBars.h"
#include "ui/geometry/WavyRoundedRectangle.h"
#include "ui/geometry/WavyRoundedRectangleItem.h"
#include "ui/geometry/Zones.h"

#include <QImage>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>
#include <optional>

using namespace tallyfin::geometry;
using tallyfin::ui::PixelSignalCompact;
using tallyfin::ui::PowerSparklineView;
using tallyfin::ui::WavyRoundedRectangleItem;

namespace {

// The device list's searching outline.
WavyRoundedRectangle searching(qreal phase) {
    return {.cornerRadius = 22, .phase = phase, .amplitude = 3.5, .traverseRatio = 0.6};
}

bool near(qreal a, qreal b, qreal tolerance = 1e-9) {
    return std::abs(a - b) <= tolerance;
}

// Counts how often the outline is actually repainted.
class CountingWavy : public WavyRoundedRectangleItem {
public:
    void paint(QPainter* painter) override {
        ++paints;
        WavyRoundedRectangleItem::paint(painter);
    }
    int paints = 0;
};

// Grey level (0 black, 255 white) of a pixel.
int grey(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y));
}

} // namespace

// The shapes the views paint as pure functions: the searching outline, the signal bars and the
// power chart; then the items that paint them, in a real QML engine.
class TestGeometry : public QObject {
    Q_OBJECT

    QQuickView m_view;

    // Shows `qml` (with the items' module imported) and returns its child `name`.
    template<typename T = QQuickItem>
    T* show(const char* qml, const char* name = "") {
        QQmlComponent component(m_view.engine());
        component.setData(QByteArray("import QtQuick\nimport Tallyfin.GeometryTest\n"
                                     "import Tallyfin.GeometryTest.Counting\n") +
                              qml,
                          QUrl());
        auto* root = qobject_cast<QQuickItem*>(component.create());
        if (!root) {
            qWarning() << component.errors();
            return nullptr;
        }
        m_view.setContent(QUrl(), &component, root);
        m_view.show();
        return qobject_cast<T*>(*name ? root->findChild<T*>(QLatin1String(name)) : root);
    }

private Q_SLOTS:
    void initTestCase() {
        qmlRegisterType<CountingWavy>("Tallyfin.GeometryTest.Counting", 1, 0, "CountingWavy");
    }

    void restOrDent_data() {
        QTest::addColumn<WavyRoundedRectangle>("shape");
        QTest::addColumn<bool>("dented");
        QTest::newRow("just before the end of the travel") << searching(0.5999) << true;
        QTest::newRow("phase equal to traverseRatio") << searching(0.6) << false;
        QTest::newRow("undefined phase")
            << searching(std::numeric_limits<qreal>::quiet_NaN()) << false;
        auto shape = searching(0.3);
        shape.amplitude = 0.01;
        QTest::newRow("amplitude 0.01") << shape << false;
        shape.amplitude = 0.0101;
        QTest::newRow("amplitude just above 0.01") << shape << true;
        shape = searching(0.3);
        shape.traverseRatio = 0;
        QTest::newRow("traverseRatio 0") << shape << false;
    }

    void restOrDent() {
        QFETCH(WavyRoundedRectangle, shape);
        QFETCH(bool, dented);
        const WavyOutline outline = shape.outline(QRectF(0, 0, 580, 58));
        QCOMPARE(outline.points.size(), dented ? wavyOutlinePointCount : 0);
    }

    void cornerAndInset_data() {
        QTest::addColumn<QRectF>("bounds");
        QTest::addColumn<qreal>("cornerRadius");
        QTest::addColumn<qreal>("inset");
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<qreal>("radius");
        const QRectF wide(0, 0, 100, 30);
        QTest::newRow("radius 40 in 100 x 30") << wide << 40.0 << 0.0 << wide << 15.0;
        QTest::newRow("clamped by the narrower width")
            << QRectF(10, 20, 16, 90) << 22.0 << 0.0 << QRectF(10, 20, 16, 90) << 8.0;
        QTest::newRow("inset shrinks the clamp")
            << wide << 40.0 << 5.0 << QRectF(5, 5, 90, 20) << 10.0;
        QTest::newRow("negative radius") << wide << -3.0 << 0.0 << wide << 0.0;
        QTest::newRow("inset past the middle: nothing") << wide << 4.0 << 15.0 << QRectF() << 0.0;
    }

    void cornerAndInset() {
        QFETCH(QRectF, bounds);
        QFETCH(qreal, cornerRadius);
        QFETCH(qreal, inset);
        auto shape = searching(0.3);
        shape.cornerRadius = cornerRadius;
        shape.insetAmount = inset;
        const WavyOutline outline = shape.outline(bounds);
        QTEST(outline.rect, "rect");
        QTEST(outline.cornerRadius, "radius");
        // A copy's outline is the original's drawn in the smaller rectangle, and insets add up.
        shape.insetAmount = 0;
        QCOMPARE(shape.inset(inset / 2).inset(inset / 2).outline(bounds), outline);
    }

    // Every point of the top edge has a partner on the bottom edge at the same x, pressed in by
    // the same depth; the corners stay joined to the plain sides, where they carry no dent.
    void dentPinchesTopAndBottomAlike() {
        constexpr int topEdgeFirst = 1 + wavyArcSteps;
        constexpr int bottomEdgeFirst =
            topEdgeFirst + wavyEdgeSteps + wavyArcSteps + 1 + wavyArcSteps;
        auto shape = searching(0.45); // t = 0.75: the dent reaches into the right-hand corners
        shape.cornerRadius = 10;
        const WavyOutline outline = shape.outline(QRectF(10, 20, 100, 40));
        for (int i = 0; i < wavyEdgeSteps - 1; ++i) {
            const QPointF top = outline.points.at(topEdgeFirst + i);
            const QPointF bottom = outline.points.at(bottomEdgeFirst + wavyEdgeSteps - 2 - i);
            QVERIFY2(near(top.x(), bottom.x()), qPrintable(QString::number(i)));
            QVERIFY(near(top.y() - 20, 60 - bottom.y()));
        }
        QVERIFY(outline.points.at(topEdgeFirst + wavyEdgeSteps - 1).y() > 21);
        QCOMPARE(outline.points.at(topEdgeFirst + wavyEdgeSteps + wavyArcSteps - 1),
                 QPointF(110, 30));
        QCOMPARE(outline.points.constLast(), QPointF(10, 50));
    }

    void signalLevel_data() {
        QTest::addColumn<std::optional<int>>("rssi");
        QTest::addColumn<int>("level");
        QTest::newRow("no rssi") << std::optional<int>() << 0;
        const std::pair<int, int> rows[] = {{127, 0}, {1, 0},   {0, 4},   {-50, 4},
                                            {-51, 3}, {-60, 3}, {-61, 2}, {-70, 2},
                                            {-71, 1}, {-80, 1}, {-81, 0}};
        for (const auto& [rssi, level] : rows) {
            QTest::addRow("%d dBm", rssi) << std::optional(rssi) << level;
        }
    }

    void signalLevel() {
        QFETCH(std::optional<int>, rssi);
        QTEST(tallyfin::geometry::signalLevel(rssi), "level");
    }

    // Bottom-aligned bars 3 wide with gaps of 2, as tall as 14 at most, the row centred.
    void signalBars_data() {
        QTest::addColumn<int>("strength");
        QTest::addColumn<int>("barCount");
        QTest::addColumn<QList<qreal>>("heights");
        QTest::addColumn<int>("lit");
        const QList<qreal> four{3.5, 7, 10.5, 14};
        QTest::newRow("strength 0: none lit") << 0 << 4 << four << 0;
        QTest::newRow("strength 2: the two shortest") << 2 << 4 << four << 2;
        QTest::newRow("strength above barCount: all") << 9 << 4 << four << 4;
        QTest::newRow("no bars") << 3 << 0 << QList<qreal>{} << 0;
    }

    void signalBars() {
        QFETCH(int, strength);
        QFETCH(int, barCount);
        QFETCH(QList<qreal>, heights);
        QFETCH(int, lit);
        const SignalBarsSpec spec{.strength = strength, .barCount = barCount};
        const QSizeF size = signalBarsSize(spec);
        QCOMPARE(size, heights.isEmpty() ? QSizeF(0, 0) : QSizeF(heights.size() * 5.0 - 2, 14));
        QList<SignalBar> expected;
        for (int i = 0; i < heights.size(); ++i) {
            expected.append({QRectF(i * 5 + 10, 24 - heights.at(i), 3, heights.at(i)), i < lit,
                             i < lit ? 0.7 : 0.2});
        }
        const QRectF bounds(0, 0, size.width() + 20, size.height() + 20);
        QCOMPARE(tallyfin::geometry::signalBars(spec, bounds), expected);
    }

    // A 100-point square of `slots` slots, each a bar and a gap of 1 from the left edge (the gap
    // kept when the slot is narrower); bars grow up from the bottom, the tallest sample to 70
    // points, any other to 1 point at least.
    void sparkline_data() {
        QTest::addColumn<QList<int>>("samples");
        QTest::addColumn<int>("slots");
        QTest::addColumn<QList<QRectF>>("bars");
        QTest::newRow("one sample draws nothing") << QList<int>{250} << 4 << QList<QRectF>{};
        QTest::newRow("no slots") << QList<int>{1, 2, 3} << 0 << QList<QRectF>{};
        QTest::newRow("peak in the middle, short history on the left")
            << QList<int>{3, 7, 5} << 4
            << QList<QRectF>{{0, 70, 24, 30}, {25, 30, 24, 70}, {50, 50, 24, 50}};
        QTest::newRow("all zero: 1-point bars")
            << QList<int>{0, 0} << 4 << QList<QRectF>{{0, 99, 24, 1}, {25, 99, 24, 1}};
        QTest::newRow("peak 1: scale 1; negative: 1 point")
            << QList<int>{-40, 1} << 4 << QList<QRectF>{{0, 99, 24, 1}, {25, 30, 24, 70}};
        QTest::newRow("tiny share: 1 point, fractional slots")
            << QList<int>{1, 1000} << 3
            << QList<QRectF>{{0, 99, 100.0 / 3 - 1, 1}, {100.0 / 3, 30, 100.0 / 3 - 1, 70}};
        QTest::newRow("slots narrower than the gap: zero-width bars")
            << QList<int>{5, 5} << 200 << QList<QRectF>{{0, 30, 0, 70}, {1, 30, 0, 70}};
    }

    void sparkline() {
        QFETCH(QList<int>, samples);
        QFETCH(int, slots);
        QTEST(sparklineBars(samples, slots, 1, QSizeF(100, 100)), "bars");
    }

    // The searching outline with its dent in the middle (t = 0.5), and a border-only outline.
    // Each zone's edges, power at an FTP of 200 W (percent rounded to whole points) and heart
    // rate at a maximum of 200 beats per minute.
    void zones_data() {
        QTest::addColumn<bool>("power");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("reference");
        QTest::addColumn<int>("zone");
        const QList<std::pair<int, int>> powerEdges{
            {1, 1},   {110, 1}, {111, 2}, {150, 2}, {151, 3}, {180, 3}, {181, 4},
            {210, 4}, {211, 5}, {240, 5}, {241, 6}, {300, 6}, {301, 7}, {0, 0}};
        for (const auto& [watts, zone] : powerEdges) {
            QTest::addRow("%d W", watts) << true << watts << 200 << zone;
        }
        QTest::newRow("no FTP") << true << 300 << 0 << 0;
        const QList<std::pair<int, int>> heartEdges{{99, 0},  {100, 1}, {119, 1}, {120, 2},
                                                    {139, 2}, {140, 3}, {159, 3}, {160, 4},
                                                    {179, 4}, {180, 5}, {220, 5}};
        for (const auto& [bpm, zone] : heartEdges) {
            QTest::addRow("%d bpm", bpm) << false << bpm << 200 << zone;
        }
        QTest::newRow("no maximum") << false << 150 << 0 << 0;
    }

    void zones() {
        QFETCH(bool, power);
        QFETCH(int, value);
        QFETCH(int, reference);
        QFETCH(int, zone);
        QCOMPARE(power ? tallyfin::ui::powerZone(value, reference)
                       : tallyfin::ui::heartRateZone(value, reference),
                 zone);
        const QColor color =
            power ? tallyfin::ui::powerZoneColor(zone) : tallyfin::ui::heartRateZoneColor(zone);
        QCOMPARE(color.isValid(), zone > 0);
    }

    void wavyOutlinePaintsTheDentAndBorder() {
        auto* shape = show<WavyRoundedRectangleItem>(R"(
            Rectangle {
                width: 520; height: 140; color: "white"
                WavyRoundedRectangle {
                    objectName: "shape"; x: 10; y: 10; width: 500; height: 60
                    cornerRadius: 22; amplitude: 3.5; traverseRatio: 0.6; phase: 0.3
                    color: "black"
                }
                WavyRoundedRectangle {
                    x: 10; y: 90; width: 200; height: 40; cornerRadius: 10
                    color: "transparent"; borderColor: "black"; borderWidth: 2
                }
            })",
                                                     "shape");
        QVERIFY(shape && shape->isDented());
        QImage image = m_view.grabWindow();
        // At the dent's centre both edges are pressed in by 3.5 points; far from it they are
        // where the rectangle is; the corners are rounded.
        const auto column = [&](int x, std::initializer_list<int> ys) {
            QList<int> greys;
            for (const int y : ys) {
                greys.append(grey(image, x, y));
            }
            return greys;
        };
        QCOMPARE(column(260, {12, 15, 64, 68}), QList<int>({255, 0, 0, 255}));
        QCOMPARE(column(60, {11, 68}), QList<int>({0, 0}));
        QCOMPARE(grey(image, 11, 11), 255);
        // The border lies inside the outline.
        QCOMPARE(column(110, {89, 90, 91, 92}), QList<int>({255, 0, 0, 255}));

        QSignalSpy dented(shape, &WavyRoundedRectangleItem::dentedChanged);
        shape->setPhase(0.9);
        QCOMPARE(dented.size(), 1);
        QVERIFY(!shape->isDented());
        image = m_view.grabWindow();
        QCOMPARE(grey(image, 260, 11), 0);
        QCOMPARE(grey(image, 260, 68), 0);
    }

    // The searching timer changes the phase 30 times a second; during the resting part of the
    // cycle, or with no dent at all, that must not repaint anything.
    void repaintsOnlyWhenTheOutlineChanges() {
        auto* shape = dynamic_cast<CountingWavy*>(show(R"(
            CountingWavy {
                width: 300; height: 50
                cornerRadius: 22; amplitude: 3.5; traverseRatio: 0.6; phase: 0.7
            })"));
        QVERIFY(shape);
        const auto paintsAfter = [&](auto change) {
            change();
            m_view.grabWindow();
            return shape->paints;
        };
        QCOMPARE(paintsAfter([] {}), 1);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.8); }), 1);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.1); }), 2);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.1); }), 2);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.1 + 1.0 / 45); }), 3);
        QCOMPARE(paintsAfter([&] { shape->setAmplitude(0); }), 4);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.3); }), 4);
        QCOMPARE(paintsAfter([&] { shape->setWidth(320); }), 5);
        QCOMPARE(paintsAfter([&] { shape->setColor(Qt::red); }), 6);
    }

    // Signal bars at strength 2 in the top left; below them a chart of 100 and 200 W in four
    // slots without gaps.
    void signalBarsAndSparkline() {
        auto* bars = show<PixelSignalCompact>(R"(
            Rectangle {
                width: 100; height: 120; color: "white"
                PixelSignalCompact {
                    objectName: "bars"; strength: 2; barCount: 4; barWidth: 3; spacing: 2
                    maxHeight: 14; color: "black"
                }
                PowerSparklineView {
                    objectName: "chart"; y: 20; width: 100; height: 100
                    dataPoints: [100, 200]; maxBarCount: 4; barSpacing: 0; color: "black"
                }
            })",
                                              "bars");
        QVERIFY(bars);
        QCOMPARE(QSizeF(bars->implicitWidth(), bars->implicitHeight()), QSizeF(18, 14));
        QImage image = m_view.grabWindow();
        QVERIFY(qAbs(grey(image, 6, 13) - (255 - qRound(0.7 * 255))) <= 2); // second bar, lit
        QVERIFY(qAbs(grey(image, 16, 1) - (255 - qRound(0.2 * 255))) <= 2); // tallest, unlit
        QCOMPARE(grey(image, 3, 13), 255);                                  // gap between bars

        // Bars of 35 and 70 points grow from the bottom left; the other slots stay empty.
        QCOMPARE(grey(image, 12, 85), 0);
        QCOMPARE(grey(image, 12, 84), 255);
        QCOMPARE(grey(image, 37, 50), 0);
        QCOMPARE(grey(image, 75, 119), 255);

        auto* chart = m_view.rootObject()->findChild<PowerSparklineView*>(QStringLiteral("chart"));
        chart->setClipRadius(20);
        image = m_view.grabWindow();
        QCOMPARE(grey(image, 0, 119), 255); // cut off by the rounded corner
        QCOMPARE(grey(image, 22, 117), 0);
        chart->setDataPoints({100});
        image = m_view.grabWindow();
        QCOMPARE(grey(image, 12, 119), 255);
    }
};

QTEST_MAIN(TestGeometry)
#include "tst_geometry.moc"
