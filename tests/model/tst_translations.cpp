// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// The string tables: every key the sources look up has a finished entry in every table, no table
// keeps a key nobody looks up, and translations keep their placeholders.

#include "model/Localization.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QRegularExpression>
#include <QTest>

using namespace tallyfin;
using namespace Qt::StringLiterals;

namespace {

const QString sourceDir = QStringLiteral(TALLYFIN_SOURCE_DIR);

QString contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList placeholders(const QString& text) {
    static const QRegularExpression placeholder(u"%\\d"_s);
    QStringList found;
    for (const auto& match : placeholder.globalMatch(text)) {
        found.append(match.captured());
    }
    found.sort();
    return found;
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyKeyTranslated_data() {
        QTest::addColumn<QString>("path");
        QDirIterator tables(sourceDir + u"/translations"_s, {u"tallyfin_*.ts"_s});
        while (tables.hasNext()) {
            QTest::newRow(qPrintable(tables.next())) << tables.filePath();
        }
    }

    void everyKeyTranslated() {
        QFETCH(QString, path);
        static const QRegularExpression lookup(
            u"(?:qtTrId|qsTrId|QT_TRID_NOOP)\\(\\s*\"([^\"]+)\""_s);
        QSet<QString> keys;
        QDirIterator sources(sourceDir + u"/src"_s, {u"*.cpp"_s, u"*.h"_s, u"*.qml"_s}, QDir::Files,
                             QDirIterator::Subdirectories);
        while (sources.hasNext()) {
            for (const auto& match : lookup.globalMatch(contents(sources.next()))) {
                keys.insert(match.captured(1));
            }
        }
        QVERIFY(keys.size() > 50);

        // A translation with a type attribute is unfinished, and lrelease leaves it out.
        static const QRegularExpression id(u"<message id=\"([^\"]+)\">"_s);
        static const QRegularExpression source(u"<source>([^<]*)</source>"_s);
        static const QRegularExpression translation(u"<translation>([^<]+)</translation>"_s);
        QStringList problems;
        QSet<QString> translated;
        for (const QString& entry : contents(path).split(u"</message>"_s)) {
            const QString key = id.match(entry).captured(1);
            const QString text = translation.match(entry).captured(1);
            if (key.isEmpty() || text.isEmpty()) {
                continue;
            }
            translated.insert(key);
            if (!keys.contains(key)) {
                problems.append(key + u": looked up nowhere"_s);
            } else if (placeholders(text) != placeholders(source.match(entry).captured(1))) {
                problems.append(key + u": placeholders differ from the English"_s);
            }
        }
        for (const QString& key : keys - translated) {
            problems.append(key + u": no finished translation"_s);
        }
        problems.sort();
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
        // And the build compiles the table in.
        QVERIFY(QFile::exists(u":/i18n/"_s + QFileInfo(path).baseName() + u".qm"_s));
    }

    // A regional variant takes the language's table, and Qt's own texts come with it.
    void regionalVariantWithQtTexts() {
        QCOMPARE(installTranslations(*QCoreApplication::instance(), {u"de-AT"_s}), u"de"_s);
        QCOMPARE(QCoreApplication::translate("QShortcut", "Ctrl"), u"Strg"_s);
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
