#include "ui/geometry/SignalBars.h"

#include <QTest>

#include <optional>

using namespace tallyfin::geometry;

class TestSignalBars : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void levelFromRssi_data() {
        QTest::addColumn<std::optional<int>>("rssi");
        QTest::addColumn<int>("level");
        QTest::newRow("no rssi") << std::optional<int>() << 0;
        QTest::newRow("0") << std::optional<int>(0) << 4;
        QTest::newRow("-50") << std::optional<int>(-50) << 4;
        QTest::newRow("-51") << std::optional<int>(-51) << 3;
        QTest::newRow("-60") << std::optional<int>(-60) << 3;
        QTest::newRow("-61") << std::optional<int>(-61) << 2;
        QTest::newRow("-70") << std::optional<int>(-70) << 2;
        QTest::newRow("-71") << std::optional<int>(-71) << 1;
        QTest::newRow("-80") << std::optional<int>(-80) << 1;
        QTest::newRow("-81") << std::optional<int>(-81) << 0;
        QTest::newRow("-127") << std::optional<int>(-127) << 0;
        QTest::newRow("1") << std::optional<int>(1) << 0;
        QTest::newRow("127: not available") << std::optional<int>(127) << 0;
    }

    void levelFromRssi() {
        QFETCH(std::optional<int>, rssi);
        QFETCH(int, level);
        QCOMPARE(signalLevel(rssi), level);
    }

    void layout_data() {
        QTest::addColumn<int>("strength");
        QTest::addColumn<int>("barCount");
        QTest::addColumn<QList<qreal>>("heights");
        QTest::addColumn<int>("lit");

        const QList<qreal> four{3.5, 7, 10.5, 14};
        QTest::newRow("strength 0: none lit") << 0 << 4 << four << 0;
        QTest::newRow("strength 2: the two shortest") << 2 << 4 << four << 2;
        QTest::newRow("strength 4: all") << 4 << 4 << four << 4;
        QTest::newRow("strength above barCount: all") << 9 << 4 << four << 4;
        QTest::newRow("negative strength: none") << -1 << 4 << four << 0;
        QTest::newRow("two bars") << 1 << 2 << QList<qreal>{7, 14} << 1;
        QTest::newRow("no bars") << 3 << 0 << QList<qreal>{} << 0;
        QTest::newRow("negative barCount: no bars") << 3 << -2 << QList<qreal>{} << 0;
    }

    void layout() {
        QFETCH(int, strength);
        QFETCH(int, barCount);
        QFETCH(QList<qreal>, heights);
        QFETCH(int, lit);

        const SignalBarsSpec spec{.strength = strength,
                                  .barCount = barCount,
                                  .barWidth = 3,
                                  .spacing = 2,
                                  .maxHeight = 14};
        const QSizeF size = signalBarsSize(spec);
        const auto bars = signalBars(spec, QRectF(QPointF(0, 0), size));
        QCOMPARE(bars.size(), heights.size());
        for (int i = 0; i < bars.size(); ++i) {
            const SignalBar& bar = bars.at(i);
            QCOMPARE(bar.rect.height(), heights.at(i));
            QCOMPARE(bar.rect.width(), 3.0);
            QCOMPARE(bar.rect.left(), i * 5.0);
            QCOMPARE(bar.rect.bottom(), 14.0); // aligned at the bottom
            QCOMPARE(bar.lit, i < lit);
            QCOMPARE(bar.opacity, i < lit ? 0.7 : 0.2);
        }
        // The row is the bars and the gaps between them, as tall as the tallest bar.
        QCOMPARE(size, heights.isEmpty() ? QSizeF(0, 0) : QSizeF(heights.size() * 5.0 - 2, 14));
    }

    void rowIsCentredInLargerBounds() {
        const SignalBarsSpec spec;
        const auto bars = signalBars(spec, QRectF(10, 100, 38, 34));
        QCOMPARE(bars.size(), 4);
        // The row is 18 x 14: 10 points on each side, 10 above and below.
        QCOMPARE(bars.constFirst().rect, QRectF(20, 120.5, 3, 3.5));
        QCOMPARE(bars.constLast().rect, QRectF(35, 110, 3, 14));
    }
};

QTEST_APPLESS_MAIN(TestSignalBars)
#include "tst_signalbars.moc"
