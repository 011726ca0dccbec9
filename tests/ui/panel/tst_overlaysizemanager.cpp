// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ui/panel/OverlaySizeManager.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using tallyfin::UnitSystem;
using tallyfin::ui::OverlaySize;
using tallyfin::ui::OverlaySizeManager;

namespace {

QString describe(const OverlaySizeManager& m) {
    return m.currentSizeName() + (m.animateMetrics() ? u" animated "_s : u" still "_s) +
           tallyfin::unitSystemName(m.unitSystem());
}

} // namespace

class OverlaySizeManagerTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_file = 0;

    QString freshFile() { return m_dir.filePath(u"prefs%1.ini"_s.arg(m_file++)); }

private Q_SLOTS:
    // What a new run starts with; reading never writes, and a bad stored value stays as it was.
    void restoresStoredValues_data() {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing stored")
            << QVariantMap() << u"de_DE"_s << u"medium animated metric"_s;
        QTest::newRow("nothing stored, US")
            << QVariantMap() << u"en_US"_s << u"medium animated imperial"_s;
        QTest::newRow("nothing stored, UK")
            << QVariantMap() << u"en_GB"_s << u"medium animated imperial"_s;
        QTest::newRow("all stored") << QVariantMap{{u"overlaySize"_s, u"small"_s},
                                                   {u"animateMetrics"_s, false},
                                                   {u"units"_s, u"metric"_s}}
                                    << u"en_US"_s << u"small still metric"_s;
        QTest::newRow("unreadable values")
            << QVariantMap{{u"overlaySize"_s, u"Large"_s}, {u"units"_s, u"Metric"_s}} << u"en_US"_s
            << u"medium animated imperial"_s;
    }

    void restoresStoredValues() {
        QFETCH(QVariantMap, stored);
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        const QString file = freshFile();
        {
            QSettings settings(file, QSettings::IniFormat);
            for (auto it = stored.begin(); it != stored.end(); ++it) {
                settings.setValue(it.key(), *it);
            }
        }
        QSettings settings(file, QSettings::IniFormat); // as a new run reads it
        const QStringList keysBefore = settings.allKeys();
        QLocale::setDefault(QLocale(locale));
        OverlaySizeManager manager(&settings);
        QLocale::setDefault(QLocale::system());
        QCOMPARE(describe(manager), expected);
        QCOMPARE(settings.allKeys(), keysBefore);
        for (auto it = stored.begin(); it != stored.end(); ++it) {
            QCOMPARE(settings.value(it.key()).toString(), it->toString());
        }
    }

    // Observers see a choice before it is stored; a new run reads it back.
    void choosingPublishesThenPersists() {
        QSettings settings(freshFile(), QSettings::IniFormat);
        OverlaySizeManager manager(&settings);
        QString storedWhenNotified = u"not notified"_s;
        connect(&manager, &OverlaySizeManager::currentSizeChanged, this,
                [&]() { storedWhenNotified = settings.value(u"overlaySize"_s).toString(); });
        manager.chooseSize(OverlaySize::small);
        QCOMPARE(storedWhenNotified, QString());
        manager.chooseAnimateMetrics(false);
        QVERIFY(manager.chooseUnitSystemIndex(int(UnitSystem::imperial)));
        settings.sync();
        QSettings reread(settings.fileName(), QSettings::IniFormat);
        QCOMPARE(describe(OverlaySizeManager(&reread)), u"small still imperial"_s);
    }

    // Values for this run only and choices out of range write nothing.
    void onlyValidChoicesAreStored() {
        QSettings settings(freshFile(), QSettings::IniFormat);
        OverlaySizeManager manager(&settings);
        manager.setCurrentSize(OverlaySize::large);
        manager.setAnimateMetrics(false);
        manager.setUnitSystem(UnitSystem::imperial);
        QVERIFY(!manager.chooseSizeIndex(3));
        QVERIFY(!manager.chooseSizeIndex(-1));
        QVERIFY(!manager.chooseUnitSystemIndex(2));
        QCOMPARE(describe(manager), u"large still imperial"_s);
        QVERIFY(settings.allKeys().isEmpty());
        QVERIFY(manager.chooseSizeIndex(0));
        QCOMPARE(settings.value(u"overlaySize"_s).toString(), u"small"_s);
    }
};

QTEST_GUILESS_MAIN(OverlaySizeManagerTest)
#include "tst_overlaysizemanager.moc"
