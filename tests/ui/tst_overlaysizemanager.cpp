#include "ui/OverlaySizeManager.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using tallyfin::UnitSystem;
using tallyfin::ui::OverlaySize;
using tallyfin::ui::OverlaySizeManager;

class OverlaySizeManagerTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_file = 0;

    std::unique_ptr<QSettings> freshSettings() {
        return std::make_unique<QSettings>(
            m_dir.filePath(QStringLiteral("prefs%1.ini").arg(m_file++)), QSettings::IniFormat);
    }

private Q_SLOTS:
    void restoresStoredValues_data() {
        QTest::addColumn<QVariant>("storedSize");
        QTest::addColumn<QVariant>("storedAnimate");
        QTest::addColumn<int>("expectedSize");
        QTest::addColumn<bool>("expectedAnimate");

        const QVariant none;
        QTest::newRow("empty store") << none << none << int(OverlaySize::medium) << true;
        QTest::newRow("large") << QVariant(u"large"_s) << none << int(OverlaySize::large) << true;
        QTest::newRow("small, no animation")
            << QVariant(u"small"_s) << QVariant(false) << int(OverlaySize::small) << false;
        QTest::newRow("capitalised")
            << QVariant(u"Large"_s) << none << int(OverlaySize::medium) << true;
    }

    void restoresStoredValues() {
        QFETCH(QVariant, storedSize);
        QFETCH(QVariant, storedAnimate);
        QFETCH(int, expectedSize);
        QFETCH(bool, expectedAnimate);

        auto settings = freshSettings();
        if (storedSize.isValid()) {
            settings->setValue(QLatin1String(OverlaySizeManager::sizeKey), storedSize);
        }
        if (storedAnimate.isValid()) {
            settings->setValue(QLatin1String(OverlaySizeManager::animateKey), storedAnimate);
        }
        settings->sync();
        // Read back through a second object, as a new process would.
        QSettings reread(settings->fileName(), QSettings::IniFormat);
        const QStringList keysBefore = reread.allKeys();

        OverlaySizeManager manager(&reread);
        QCOMPARE(int(manager.currentSize()), expectedSize);
        QCOMPARE(manager.animateMetrics(), expectedAnimate);
        // Construction never writes, and a bad stored size stays as it was.
        QCOMPARE(reread.allKeys(), keysBefore);
        if (storedSize.isValid()) {
            QCOMPARE(reread.value(QLatin1String(OverlaySizeManager::sizeKey)), storedSize);
        }
    }

    void unitsFollowTheLocaleUntilChosen_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<UnitSystem>("expected");
        const QVariant none;
        QTest::newRow("US locale") << u"en_US"_s << none << UnitSystem::imperial;
        QTest::newRow("UK locale") << u"en_GB"_s << none << UnitSystem::imperial;
        QTest::newRow("metric chosen in the US")
            << u"en_US"_s << QVariant(u"metric"_s) << UnitSystem::metric;
        QTest::newRow("unreadable choice: the locale's")
            << u"en_US"_s << QVariant(u"Metric"_s) << UnitSystem::imperial;
    }

    void unitsFollowTheLocaleUntilChosen() {
        QFETCH(QString, locale);
        QFETCH(QVariant, stored);
        QFETCH(UnitSystem, expected);
        auto settings = freshSettings();
        if (stored.isValid()) {
            settings->setValue(QLatin1String(OverlaySizeManager::unitsKey), stored);
        }
        const QStringList keysBefore = settings->allKeys();
        QLocale::setDefault(QLocale(locale));
        OverlaySizeManager manager(settings.get());
        QLocale::setDefault(QLocale::system());
        QCOMPARE(manager.unitSystem(), expected);
        QCOMPARE(settings->allKeys(), keysBefore);
    }

    void choosingPublishesThenPersists() {
        auto settings = freshSettings();
        OverlaySizeManager manager(settings.get());
        QString storedWhenNotified;
        connect(&manager, &OverlaySizeManager::currentSizeChanged, this, [&]() {
            storedWhenNotified =
                settings->value(QLatin1String(OverlaySizeManager::sizeKey)).toString();
        });
        QSignalSpy sizeSpy(&manager, &OverlaySizeManager::currentSizeChanged);

        manager.chooseSize(OverlaySize::small);
        QCOMPARE(sizeSpy.count(), 1);
        QCOMPARE(sizeSpy.at(0).at(0).value<OverlaySize>(), OverlaySize::small);
        QVERIFY(storedWhenNotified.isEmpty()); // observers ran before the store was written
        QCOMPARE(settings->value(QLatin1String(OverlaySizeManager::sizeKey)).toString(),
                 u"small"_s);

        manager.chooseAnimateMetrics(false);
        QSignalSpy unitsSpy(&manager, &OverlaySizeManager::unitSystemChanged);
        QVERIFY(manager.chooseUnitSystemIndex(int(UnitSystem::imperial)));
        QCOMPARE(unitsSpy.count(), 1);
        settings->sync();
        QSettings reread(settings->fileName(), QSettings::IniFormat);
        OverlaySizeManager nextRun(&reread);
        QCOMPARE(nextRun.currentSize(), OverlaySize::small);
        QCOMPARE(nextRun.animateMetrics(), false);
        QCOMPARE(nextRun.unitSystem(), UnitSystem::imperial);
    }

    void runOnlyChangesWriteNothing() {
        auto settings = freshSettings();
        OverlaySizeManager manager(settings.get());
        manager.setCurrentSize(OverlaySize::large);
        manager.setAnimateMetrics(false);
        manager.setUnitSystem(UnitSystem::imperial);
        QCOMPARE(manager.currentSize(), OverlaySize::large);
        QVERIFY(settings->allKeys().isEmpty());
    }

    void chooseSizeIndexRejectsOutOfRange() {
        auto settings = freshSettings();
        OverlaySizeManager manager(settings.get());
        QVERIFY(!manager.chooseSizeIndex(3));
        QVERIFY(!manager.chooseSizeIndex(-1));
        QVERIFY(!manager.chooseUnitSystemIndex(2));
        QVERIFY(settings->allKeys().isEmpty());
        QVERIFY(manager.chooseSizeIndex(2));
        QCOMPARE(manager.currentSize(), OverlaySize::large);
        QCOMPARE(settings->value(QLatin1String(OverlaySizeManager::sizeKey)).toString(),
                 u"large"_s);
    }

    void sharedInstanceIsReplaceable() {
        auto settings = freshSettings();
        settings->setValue(QLatin1String(OverlaySizeManager::sizeKey), u"small"_s);
        auto previous =
            OverlaySizeManager::replaceShared(std::make_unique<OverlaySizeManager>(settings.get()));
        QCOMPARE(OverlaySizeManager::shared().currentSize(), OverlaySize::small);
        QCOMPARE(&OverlaySizeManager::shared(), &OverlaySizeManager::shared());
        OverlaySizeManager::replaceShared(std::move(previous));
    }
};

QTEST_GUILESS_MAIN(OverlaySizeManagerTest)
#include "tst_overlaysizemanager.moc"
