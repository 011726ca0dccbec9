// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "model/DevicePresentation.h"
#include "model/EquipmentType.h"
#include "model/Localization.h"

#include <QCoreApplication>
#include <QTest>

using namespace tallyfin;
using namespace Qt::StringLiterals;

// The texts looked up by key, and what an advertised name says about the machine; the formatted
// values are checked with the tiles that show them.
class TestPresentation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Lookups fall back to their defaults, else their keys; tst_translations checks that every
    // table has every key.
    void tableWinsOverDefault() {
        QCOMPARE(installTranslations(*QCoreApplication::instance(), {u"en"_s}), u"en"_s);
        QCOMPARE(localizedText("device.type.bike", u"Bicycle"), u"Indoor Bike"_s);
        QCOMPARE(localizedText("test.notInTable", u"Fallback"), u"Fallback"_s);
        QCOMPARE(localizedText("test.notInTable"), u"test.notInTable"_s);
        QCOMPARE(displayName(EquipmentType::crossTrainer), u"Cross Trainer"_s);
    }

    // The first kind whose word the name contains, in the order rower, bike, treadmill, cross
    // trainer.
    void device_data() {
        QTest::addColumn<QString>("advertisedName");
        QTest::addColumn<QString>("expected");
        QTest::newRow("row before bike") << u"Throwback Bike"_s << u"figure.rower Rower"_s;
        QTest::newRow("upper case") << u"ROWERG"_s << u"figure.rower Rower"_s;
        QTest::newRow("cycle before cross")
            << u"CrossCycle 5"_s << u"figure.indoor.cycle Indoor Bike"_s;
        QTest::newRow("run") << u"RunMaster"_s << u"figure.run Treadmill"_s;
        QTest::newRow("ellip") << u"Elliptical E35"_s << u"figure.elliptical Cross Trainer"_s;
        QTest::newRow("no match") << u"KICKR CORE 5A1B"_s
                                  << u"figure.strengthtraining.traditional Fitness Equipment"_s;
    }

    void device() {
        QFETCH(QString, advertisedName);
        QTEST(QString(deviceIconName(advertisedName) + u' ' + deviceTypeName(advertisedName)),
              "expected");
    }
};

QTEST_GUILESS_MAIN(TestPresentation)
#include "tst_presentation.moc"
