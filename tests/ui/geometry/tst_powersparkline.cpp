#include "ui/geometry/PowerSparkline.h"

#include <QTest>

using namespace tallyfin::geometry;

class TestPowerSparkline : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void barHeights_data() {
        QTest::addColumn<QList<int>>("samples");
        QTest::addColumn<QList<qreal>>("heights");
        // 100 points high: the plot is 70 points.
        QTest::newRow("no samples") << QList<int>{} << QList<qreal>{};
        QTest::newRow("one sample draws nothing") << QList<int>{250} << QList<qreal>{};
        QTest::newRow("100 and 200") << QList<int>{100, 200} << QList<qreal>{35, 70};
        QTest::newRow("peak reaches exactly 70 %")
            << QList<int>{3, 7, 5} << QList<qreal>{30, 70, 50};
        QTest::newRow("all zero: 1-point bars, scale 1")
            << QList<int>{0, 0, 0} << QList<qreal>{1, 1, 1};
        QTest::newRow("peak 1: scale 1") << QList<int>{1, 0} << QList<qreal>{70, 1};
        QTest::newRow("negative samples: 1-point bars")
            << QList<int>{-40, 80, 0} << QList<qreal>{1, 70, 1};
        QTest::newRow("tiny share still 1 point") << QList<int>{1, 1000} << QList<qreal>{1, 70};
        QTest::newRow("all negative") << QList<int>{-5, -10} << QList<qreal>{1, 1};
    }

    void barHeights() {
        QFETCH(QList<int>, samples);
        QFETCH(QList<qreal>, heights);
        const auto bars = sparklineBars(samples, 120, 1, QSizeF(240, 100));
        QCOMPARE(bars.size(), heights.size());
        for (int i = 0; i < bars.size(); ++i) {
            QVERIFY2(qFuzzyCompare(bars.at(i).height(), heights.at(i)),
                     qPrintable(QString::number(bars.at(i).height())));
            QCOMPARE(bars.at(i).bottom(), 100.0); // grows up from the bottom
        }
    }

    void slots_data() {
        QTest::addColumn<int>("sampleCount");
        QTest::addColumn<qreal>("width");
        QTest::addColumn<int>("maxBarCount");
        QTest::addColumn<qreal>("spacing");
        QTest::addColumn<qreal>("barWidth");
        QTest::addColumn<qreal>("right");

        QTest::newRow("full history spans the width less one gap")
            << 120 << 1200.0 << 120 << 1.0 << 9.0 << 1199.0;
        QTest::newRow("fractional slots")
            << 120 << 1000.0 << 120 << 1.0 << (1000.0 / 120 - 1) << 999.0;
        QTest::newRow("short history fills the left") << 30 << 1200.0 << 120 << 1.0 << 9.0 << 299.0;
        QTest::newRow("more samples than slots run past the edge")
            << 130 << 1200.0 << 120 << 1.0 << 9.0 << 1299.0;
        QTest::newRow("slots narrower than the gap: zero-width bars")
            << 4 << 100.0 << 200 << 1.0 << 0.0 << 3.0;
        QTest::newRow("no gaps") << 10 << 100.0 << 10 << 0.0 << 10.0 << 100.0;
    }

    void slots() {
        QFETCH(int, sampleCount);
        QFETCH(qreal, width);
        QFETCH(int, maxBarCount);
        QFETCH(qreal, spacing);
        QFETCH(qreal, barWidth);
        QFETCH(qreal, right);

        QList<int> samples;
        for (int i = 0; i < sampleCount; ++i) {
            samples.append(100 + i);
        }
        const auto bars = sparklineBars(samples, maxBarCount, spacing, QSizeF(width, 50));
        QCOMPARE(bars.size(), sampleCount);
        QCOMPARE(bars.constFirst().left(), 0.0);
        for (int i = 0; i < bars.size(); ++i) {
            QVERIFY(qFuzzyCompare(1 + bars.at(i).width(), 1 + barWidth));
            QVERIFY(qFuzzyCompare(bars.at(i).left(), i * (barWidth + spacing)) || i == 0);
        }
        QVERIFY2(qFuzzyCompare(bars.constLast().right(), right),
                 qPrintable(QString::number(bars.constLast().right())));
    }

    void noSlotsDrawNothing() {
        QVERIFY(sparklineBars({1, 2, 3}, 0, 1, QSizeF(100, 50)).isEmpty());
        QVERIFY(sparklineBars({1, 2, 3}, -5, 1, QSizeF(100, 50)).isEmpty());
    }

    void scale_data() {
        QTest::addColumn<QList<int>>("samples");
        QTest::addColumn<qreal>("scale");
        QTest::newRow("empty") << QList<int>{} << 1.0;
        QTest::newRow("peak 0") << QList<int>{0, 0} << 1.0;
        QTest::newRow("peak 1") << QList<int>{1, 1} << 1.0;
        QTest::newRow("peak 2") << QList<int>{2, 1} << 2.0;
        QTest::newRow("peak in the middle") << QList<int>{120, 410, 97} << 410.0;
        QTest::newRow("negative only") << QList<int>{-3, -7} << 1.0;
    }

    void scale() {
        QFETCH(QList<int>, samples);
        QFETCH(qreal, scale);
        QCOMPARE(sparklineScale(samples), scale);
    }
};

QTEST_APPLESS_MAIN(TestPowerSparkline)
#include "tst_powersparkline.moc"
