#include "ui/update/VersionComparison.h"

#include <QTest>

using tallyfin::update::compareVersions;

class TestVersionComparison : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void order_data() {
        QTest::addColumn<QString>("older");
        QTest::addColumn<QString>("newer");
        const auto row = [](const char* older, const char* newer) {
            QTest::addRow("%s < %s", older, newer)
                << QString::fromLatin1(older) << QString::fromLatin1(newer);
        };
        row("1", "2");
        row("9", "10");
        row("1.9", "1.10");
        row("0.1.0", "0.2");
        row("1.0", "1.0.1");
        row("1.0b1", "1.0");
        row("1.0 beta", "1.0");
        row("1.0-rc1", "1.0");
        row("1.0b2", "1.0b10");
        row("1.0a5", "1.0b1");
        row("1.0b9", "1.0rc1");
        row("1.0rc1", "1.0.1");
        row("1.0.0b1", "1.0");
        row("2.0a", "2.01");
        row("99999999999999999999", "100000000000000000000");
        row("", "0.1");
        row("1.2.3", "1.2.3.1");
    }

    void order() {
        QFETCH(QString, older);
        QFETCH(QString, newer);
        QVERIFY(compareVersions(older, newer) < 0);
        QVERIFY(compareVersions(newer, older) > 0);
    }

    void equal_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::newRow("same") << QStringLiteral("1.2.3") << QStringLiteral("1.2.3");
        QTest::newRow("trailing zero part") << QStringLiteral("1.5") << QStringLiteral("1.5.0");
        QTest::newRow("two trailing zero parts") << QStringLiteral("2") << QStringLiteral("2.0.0");
        QTest::newRow("leading zeros") << QStringLiteral("1.05") << QStringLiteral("1.5");
        QTest::newRow("letter case") << QStringLiteral("1.0RC1") << QStringLiteral("1.0rc1");
        QTest::newRow("both empty") << QString() << QString();
    }

    void equal() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QCOMPARE(compareVersions(a, b), 0);
        QCOMPARE(compareVersions(b, a), 0);
    }
};

QTEST_APPLESS_MAIN(TestVersionComparison)
#include "tst_versioncomparison.moc"
