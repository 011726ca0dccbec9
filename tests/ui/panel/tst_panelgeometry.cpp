// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ui/panel/PanelGeometry.h"

#include <QTest>

using namespace tallyfin::ui;

class PanelGeometryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void frames_data() {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("visible");
        QTest::addColumn<int>("height"); // the panel's current height
        QTest::addColumn<QRect>("initial");
        QTest::addColumn<QRect>("disconnected");
        QTest::addColumn<QRect>("small");
        QTest::addColumn<QRect>("medium");
        QTest::addColumn<QRect>("large");

        // A dock on the left: the initial frame centres on the visible area, every later frame
        // on the full screen.
        QTest::newRow("left dock")
            << QRect(0, 0, 1000, 800) << QRect(100, 0, 900, 800) << 80 << QRect(260, 700, 580, 80)
            << QRect(210, 700, 580, 80) << QRect(90, 700, 820, 80) << QRect(35, 700, 930, 80)
            << QRect(0, 700, 1000, 80);
        // A second screen to the right of the first, and a taller panel: the height is kept.
        QTest::newRow("offset screen")
            << QRect(1920, 0, 2560, 1440) << QRect(1920, 30, 2560, 1410) << 120
            << QRect(2910, 1340, 580, 80) << QRect(2910, 1300, 580, 120)
            << QRect(2150, 1300, 2099, 120) << QRect(2009, 1300, 2381, 120)
            << QRect(1920, 1300, 2560, 120);
    }

    void frames() {
        QFETCH(QRect, screen);
        QFETCH(QRect, visible);
        QFETCH(int, height);
        QFETCH(QRect, initial);
        QFETCH(QRect, disconnected);
        QFETCH(QRect, small);
        QFETCH(QRect, medium);
        QFETCH(QRect, large);

        QCOMPARE(panel::initialFrame(visible), initial);
        QCOMPARE(panel::disconnectedFrame(screen, visible, height), disconnected);
        QCOMPARE(panel::connectedFrame(screen, visible, OverlaySize::small, height), small);
        QCOMPARE(panel::connectedFrame(screen, visible, OverlaySize::medium, height), medium);
        QCOMPARE(panel::connectedFrame(screen, visible, OverlaySize::large, height), large);
        // As wide as the tiles need, each adding its share, at most the size's share of the
        // screen, and centred.
        for (const OverlaySize size : allOverlaySizes) {
            const QRect full = panel::connectedFrame(screen, visible, size, height);
            QCOMPARE(panel::connectedFrame(screen, visible, size, height, 20), full);
            const QRect two = panel::connectedFrame(screen, visible, size, height, 2);
            const QRect three = panel::connectedFrame(screen, visible, size, height, 3);
            QCOMPARE(three.width(), std::min(full.width(), two.width() + panel::tileShare(size)));
            QVERIFY(qAbs(two.center().x() - full.center().x()) <= 1);
        }
    }

    // Where the user dropped the panel, kept on the screen's visible area (1280 × 1000 at x 1920).
    void userPlace_data() {
        QTest::addColumn<QPoint>("anchor");
        QTest::addColumn<int>("width");
        QTest::addColumn<QRect>("frame");
        QTest::newRow("inside") << QPoint(2560, 500) << 580 << QRect(2270, 420, 580, 80);
        QTest::newRow("past the right edge")
            << QPoint(3150, 500) << 580 << QRect(2620, 420, 580, 80);
        QTest::newRow("past the left edge")
            << QPoint(1900, 500) << 580 << QRect(1920, 420, 580, 80);
        QTest::newRow("above the top") << QPoint(2560, 30) << 580 << QRect(2270, 24, 580, 80);
        QTest::newRow("below the bottom") << QPoint(2560, 1100) << 580 << QRect(2270, 944, 580, 80);
        QTest::newRow("wider than the screen")
            << QPoint(2560, 500) << 1786 << QRect(1920, 420, 1280, 80);
    }

    void userPlace() {
        QFETCH(QPoint, anchor);
        QFETCH(int, width);
        QFETCH(QRect, frame);
        const QRect area(1920, 24, 1280, 1000);
        QCOMPARE(panel::anchoredFrame(anchor, width, 80, area), frame);
    }

    // The popover at its button: a 332 × 300 window, the button 20 × 20.
    void popover_data() {
        QTest::addColumn<QRectF>("button");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<double>("arrowTipX");
        QTest::addColumn<bool>("below");

        const QRect screen(0, 0, 1920, 1080);
        QTest::newRow("centred above")
            << QRectF(900, 1000, 20, 20) << screen << 744 << 698 << 166.0 << false;
        QTest::newRow("half points round up")
            << QRectF(900.5, 1000.5, 20, 20) << screen << 745 << 699 << 165.5 << false;
        QTest::newRow("kept off the left edge")
            << QRectF(10, 1000, 20, 20) << screen << 4 << 698 << 16.0 << false;
        QTest::newRow("kept off the right edge")
            << QRectF(1890, 1000, 20, 20) << screen << 1584 << 698 << 316.0 << false;
        QTest::newRow("just room above")
            << QRectF(900, 302, 20, 20) << screen << 744 << 0 << 166.0 << false;
        QTest::newRow("no room above: below")
            << QRectF(900, 301, 20, 20) << screen << 744 << 323 << 166.0 << true;
        // A second screen left of and above the primary one: its own edges count.
        QTest::newRow("screen left of the primary")
            << QRectF(-1910, -1070, 20, 20) << QRect(-1920, -1080, 1920, 1080) << -1916 << -1048
            << 16.0 << true;
        // Room on neither side: the roomier one, inside the screen.
        QTest::newRow("low screen, more room above")
            << QRectF(900, 200, 20, 20) << QRect(0, 0, 1920, 240) << 744 << 0 << 166.0 << false;
        QTest::newRow("low screen, more room below")
            << QRectF(900, 10, 20, 20) << QRect(0, 0, 1920, 240) << 744 << 0 << 166.0 << true;
    }

    void popover() {
        QFETCH(QRectF, button);
        QFETCH(QRect, screen);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(double, arrowTipX);
        QFETCH(bool, below);
        const PopoverPlacement placement = panel::placePopover(button, QSizeF(332, 300), screen);
        QCOMPARE(placement, (PopoverPlacement{x, y, arrowTipX, below}));
    }
};

QTEST_APPLESS_MAIN(PanelGeometryTest)
#include "tst_panelgeometry.moc"
