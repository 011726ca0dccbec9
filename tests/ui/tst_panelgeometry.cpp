// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ui/PanelGeometry.h"

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
    }
};

QTEST_APPLESS_MAIN(PanelGeometryTest)
#include "tst_panelgeometry.moc"
