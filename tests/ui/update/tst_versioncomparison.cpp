#include "ui/update/VersionComparison.h"

#include <QTest>

using tallyfin::update::compareVersions;

class TestVersionComparison : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void compare_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order"); // of a against b
        const auto row = [](const char* a, const char* b, int order) {
            QTest::addRow("%s %s %s", a, order < 0 ? "<" : "=", b)
                << QString::fromLatin1(a) << QString::fromLatin1(b) << order;
        };
        row("9", "10", -1);
        row("1.9", "1.10", -1);
        row("1.0", "1.0.1", -1);
        row("1.0b1", "1.0", -1);
        row("1.0-rc1", "1.0", -1);
        row("1.0.0b1", "1.0", -1);
        row("1.0b2", "1.0b10", -1);
        row("1.0a5", "1.0b1", -1);
        row("1.0b9", "1.0rc1", -1);
        row("1.0rc1", "1.0.1", -1);
        row("2.0a", "2.01", -1);
        row("99999999999999999999", "100000000000000000000", -1);
        row("", "0.1", -1);
        row("1.5", "1.5.0", 0);
        row("1.05", "1.5", 0);
        row("1.0RC1", "1.0rc1", 0);
    }

    void compare() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        const auto sign = [](int c) { return (c > 0) - (c < 0); };
        QCOMPARE(sign(compareVersions(a, b)), order);
        QCOMPARE(sign(compareVersions(b, a)), -order);
    }
};

QTEST_APPLESS_MAIN(TestVersionComparison)
#include "tst_versioncomparison.moc"
