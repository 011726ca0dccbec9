#include "ui/geometry/WavyRoundedRectangle.h"

#include <QTest>

#include <cmath>
#include <limits>

using tallyfin::geometry::dentDepth;
using tallyfin::geometry::WavyOutline;
using tallyfin::geometry::WavyRoundedRectangle;

namespace {

// The device list's searching outline.
WavyRoundedRectangle searching(qreal phase) {
    return WavyRoundedRectangle{.cornerRadius = 22,
                                .phase = phase,
                                .amplitude = 3.5,
                                .traverseRatio = 0.6,
                                .insetAmount = 0};
}

// Indices into the 162-point polyline.
constexpr int topEdgeFirst = 11;
constexpr int topRightArcLast = 80;
constexpr int rightSideBottom = 81;
constexpr int bottomEdgeFirst = 92;
constexpr int bottomLeftArcLast = 161;

bool near(qreal a, qreal b, qreal tolerance = 1e-9) {
    return std::abs(a - b) <= tolerance;
}

} // namespace

class TestWavyRoundedRectangle : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void restOrDent_data() {
        QTest::addColumn<WavyRoundedRectangle>("shape");
        QTest::addColumn<bool>("dented");

        const qreal nan = std::numeric_limits<qreal>::quiet_NaN();
        QTest::newRow("start of the cycle") << searching(0) << true;
        QTest::newRow("just before the end of the travel") << searching(0.5999) << true;
        QTest::newRow("phase equal to traverseRatio") << searching(0.6) << false;
        QTest::newRow("resting part of the cycle") << searching(0.9) << false;
        QTest::newRow("negative phase: dent still left of the shape") << searching(-0.2) << true;
        auto flat = searching(0.3);
        flat.amplitude = 0;
        QTest::newRow("amplitude 0") << flat << false;
        flat.amplitude = 0.01;
        QTest::newRow("amplitude 0.01") << flat << false;
        flat.amplitude = 0.0101;
        QTest::newRow("amplitude just above 0.01") << flat << true;
        flat.amplitude = -3;
        QTest::newRow("negative amplitude") << flat << false;
        auto noTravel = searching(0.3);
        noTravel.traverseRatio = 0;
        QTest::newRow("traverseRatio 0, phase 0.3") << noTravel << false;
        noTravel.phase = 0;
        QTest::newRow("traverseRatio 0, phase 0") << noTravel << false;
        QTest::newRow("undefined phase") << searching(nan) << false;
    }

    void restOrDent() {
        QFETCH(WavyRoundedRectangle, shape);
        QFETCH(bool, dented);
        const WavyOutline outline = shape.outline(QRectF(0, 0, 580, 58));
        QCOMPARE(outline.isEmpty(), false);
        QCOMPARE(outline.rect, QRectF(0, 0, 580, 58));
        QCOMPARE(outline.cornerRadius, 22.0);
        QCOMPARE(outline.points.size(), dented ? tallyfin::geometry::wavyOutlinePointCount : 0);
        // The path is closed either way: a rounded rectangle or the polyline back to its start.
        const QPainterPath path = outline.toPath();
        QCOMPARE(path.elementAt(0).x, path.elementAt(path.elementCount() - 1).x);
        QCOMPARE(path.elementAt(0).y, path.elementAt(path.elementCount() - 1).y);
        // The dent's far tails may lift the edges by a hair, never more.
        const QRectF box = path.boundingRect();
        QVERIFY(near(box.top(), 0, 1e-6) && near(box.bottom(), 58, 1e-6));
        QCOMPARE(box.left(), 0.0);
        QCOMPARE(box.right(), 580.0);
    }

    void cornerAndInset_data() {
        QTest::addColumn<QRectF>("bounds");
        QTest::addColumn<qreal>("cornerRadius");
        QTest::addColumn<qreal>("inset");
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<qreal>("radius");

        QTest::newRow("radius fits")
            << QRectF(0, 0, 580, 58) << 22.0 << 0.0 << QRectF(0, 0, 580, 58) << 22.0;
        QTest::newRow("radius 40 in 100 x 30")
            << QRectF(0, 0, 100, 30) << 40.0 << 0.0 << QRectF(0, 0, 100, 30) << 15.0;
        QTest::newRow("clamped by the narrower width")
            << QRectF(10, 20, 16, 90) << 22.0 << 0.0 << QRectF(10, 20, 16, 90) << 8.0;
        QTest::newRow("inset 5") << QRectF(0, 0, 100, 30) << 4.0 << 5.0 << QRectF(5, 5, 90, 20)
                                 << 4.0;
        QTest::newRow("inset shrinks the clamp")
            << QRectF(0, 0, 100, 30) << 40.0 << 5.0 << QRectF(5, 5, 90, 20) << 10.0;
        QTest::newRow("negative radius")
            << QRectF(0, 0, 100, 30) << -3.0 << 0.0 << QRectF(0, 0, 100, 30) << 0.0;
        QTest::newRow("negative inset grows the rectangle")
            << QRectF(0, 0, 100, 30) << 4.0 << -2.0 << QRectF(-2, -2, 104, 34) << 4.0;
        QTest::newRow("inset past the middle: nothing")
            << QRectF(0, 0, 100, 30) << 4.0 << 15.0 << QRectF() << 0.0;
    }

    void cornerAndInset() {
        QFETCH(QRectF, bounds);
        QFETCH(qreal, cornerRadius);
        QFETCH(qreal, inset);
        QFETCH(QRectF, rect);
        QFETCH(qreal, radius);
        for (const qreal phase : {0.3, 0.9}) {
            auto shape = searching(phase);
            shape.cornerRadius = cornerRadius;
            shape.insetAmount = inset;
            const WavyOutline outline = shape.outline(bounds);
            QCOMPARE(outline.rect, rect);
            QCOMPARE(outline.cornerRadius, radius);
            QCOMPARE(outline.isEmpty(), rect.isNull());
            if (!outline.isResting()) {
                // The polyline starts on the left side where the top-left corner begins.
                QCOMPARE(outline.points.constFirst(), QPointF(rect.left(), rect.top() + radius));
                QCOMPARE(outline.points.at(rightSideBottom),
                         QPointF(rect.right(), rect.bottom() - radius));
            }
        }
    }

    void insetAccumulatesAndKeepsTheOtherFields() {
        const auto shape = searching(0.3);
        const auto once = shape.inset(5);
        const auto twice = once.inset(5);
        QCOMPARE(once.insetAmount, 5.0);
        QCOMPARE(twice.insetAmount, 10.0);
        auto expected = shape;
        expected.insetAmount = 10;
        QCOMPARE(twice, expected);
        QCOMPARE(twice.outline(QRectF(0, 0, 100, 40)).rect, QRectF(10, 10, 80, 20));
        // The copy's outline is the original's outline drawn in the smaller rectangle.
        QCOMPARE(once.outline(QRectF(0, 0, 100, 40)), shape.outline(QRectF(5, 5, 90, 30)));
    }

    void dentProfile_data() {
        QTest::addColumn<qreal>("offset");
        QTest::addColumn<qreal>("share");
        // t = 0.5 in a shape 500 wide: centre at 250, sigma 40.
        QTest::newRow("at the centre") << 250.0 << 1.0;
        QTest::newRow("40 to the left") << 210.0 << std::exp(-0.5);
        QTest::newRow("40 to the right") << 290.0 << std::exp(-0.5);
        QTest::newRow("80 to the right") << 330.0 << std::exp(-2.0);
        QTest::newRow("left edge") << 0.0 << std::exp(-(250.0 * 250.0) / (2 * 40.0 * 40.0));
    }

    void dentProfile() {
        QFETCH(qreal, offset);
        QFETCH(qreal, share);
        QVERIFY(near(dentDepth(offset, 500, 0.5, 3.5), 3.5 * share));
    }

    void dentTravel_data() {
        QTest::addColumn<qreal>("t");
        QTest::addColumn<qreal>("centre");
        QTest::newRow("enters 0.4 w left of the shape") << 0.0 << -200.0;
        QTest::newRow("a quarter") << 0.25 << 25.0;
        QTest::newRow("leaves 0.4 w right of the shape") << 1.0 << 700.0;
    }

    void dentTravel() {
        QFETCH(qreal, t);
        QFETCH(qreal, centre);
        QVERIFY(near(dentDepth(centre, 500, t, 2), 2));
        QVERIFY(dentDepth(centre - 1, 500, t, 2) < 2);
        QVERIFY(dentDepth(centre + 1, 500, t, 2) < 2);
    }

    void dentIsInvisibleAtTheStart() {
        // 0.4 w is five sigmas: e^-12.5 of the amplitude at the left edge.
        QVERIFY(near(dentDepth(0, 580, 0, 3.5), 3.5 * std::exp(-12.5)));
    }

    void dentPinchesTopAndBottomAlike() {
        const QRectF bounds(10, 20, 500, 60);
        const WavyOutline outline = searching(0.3).outline(bounds); // t = 0.5
        QCOMPARE(outline.points.size(), 162);

        // The top edge point at the centre is a full amplitude down, the bottom one up.
        bool foundTop = false;
        bool foundBottom = false;
        for (int i = 0; i < 60; ++i) {
            const QPointF top = outline.points.at(topEdgeFirst + i);
            const QPointF bottom = outline.points.at(bottomEdgeFirst + i);
            if (near(top.x(), 260)) {
                QVERIFY(near(top.y(), 20 + 3.5));
                foundTop = true;
            }
            if (near(bottom.x(), 260)) {
                QVERIFY(near(bottom.y(), 80 - 3.5));
                foundBottom = true;
            }
        }
        QVERIFY(foundTop);
        QVERIFY(foundBottom);

        // Every top point has a bottom partner at the same x, pressed in by the same depth.
        for (int i = 1; i < 60; ++i) {
            const QPointF top = outline.points.at(topEdgeFirst + i - 1);
            const QPointF bottom = outline.points.at(bottomEdgeFirst + 60 - i - 1);
            QVERIFY2(near(top.x(), bottom.x()), qPrintable(QString::number(i)));
            QVERIFY(near(top.y() - 20, 80 - bottom.y()));
            QVERIFY(near(top.y() - 20, dentDepth(top.x() - 10, 500, 0.5, 3.5)));
        }
    }

    void cornersStayJoinedToTheSides() {
        // The dent centred in the right-hand corners: t = 0.75, centre 0.75 * 180 - 40 = 95.
        const QRectF bounds(0, 0, 100, 40);
        auto shape = searching(0.45);
        shape.cornerRadius = 10;
        shape.amplitude = 6;
        const WavyOutline outline = shape.outline(bounds);
        QCOMPARE(outline.points.size(), 162);
        // Where an arc meets a side it carries no dent...
        QVERIFY(near(outline.points.at(topRightArcLast).x(), 100));
        QVERIFY(near(outline.points.at(topRightArcLast).y(), 10));
        QVERIFY(near(outline.points.at(bottomLeftArcLast).x(), 0));
        QVERIFY(near(outline.points.at(bottomLeftArcLast).y(), 30));
        // ...and where it meets the top or bottom edge it carries the full dent.
        const QPointF topRightStart = outline.points.at(topEdgeFirst + 59);
        QVERIFY(near(topRightStart.x(), 90));
        QVERIFY(near(topRightStart.y(), dentDepth(90, 100, 0.75, 6)));
        QVERIFY(topRightStart.y() > 1);
        // The middle of the top-right arc is pressed in by |sin 315°| of the dent there.
        const QPointF arcMiddle = outline.points.at(topEdgeFirst + 60 + 4);
        const qreal s = std::sqrt(0.5);
        QVERIFY(near(arcMiddle.x(), 90 + 10 * s));
        QVERIFY(near(arcMiddle.y(), 10 - 10 * s + s * dentDepth(90 + 10 * s, 100, 0.75, 6)));
    }

    void dentNearTheRightEndJustBeforeRest() {
        const WavyOutline outline = searching(0.59).outline(QRectF(0, 0, 500, 60));
        QCOMPARE(outline.points.size(), 162);
        // The centre is past the right edge, so the top edge deepens all the way to the right.
        for (int i = 1; i < 60; ++i) {
            QVERIFY(outline.points.at(topEdgeFirst + i).y() >
                    outline.points.at(topEdgeFirst + i - 1).y());
        }
        QVERIFY(outline.points.at(topEdgeFirst + 59).y() > 1e-6);
        QVERIFY(outline.points.at(topEdgeFirst).y() < 1e-6);
    }
};

QTEST_APPLESS_MAIN(TestWavyRoundedRectangle)
#include "tst_wavyroundedrectangle.moc"
