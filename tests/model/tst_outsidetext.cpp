// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "model/OutsideText.h"

#include <QTest>

using namespace tallyfin;
using namespace Qt::StringLiterals;

// What a stranger's text becomes as a name and as an escaped log or terminal text.
class TestOutsideText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void names_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("escaped");
        const QString bad = QString(QChar::ReplacementCharacter);
        QTest::newRow("plain, markup and a real U+FFFD stay")
            << u"Bike <b>✓</b> 😀 \uFFFD"_s << u"Bike <b>✓</b> 😀 \uFFFD"_s
            << u"Bike <b>✓</b> 😀 \uFFFD"_s;
        QTest::newRow("line breaks of a forged log line")
            << u"Bike\n[1:00:00] X\r\nY"_s << u"Bike"_s + bad + u"[1:00:00] X"_s + bad + bad + u"Y"
            << u"Bike\\x0A[1:00:00] X\\x0D\\x0AY"_s;
        QTest::newRow("terminal escapes, DEL")
            << u"\x1b]0;t\x07\x1b[2J\x7f"_s << bad + u"]0;t"_s + bad + bad + u"[2J"_s + bad
            << u"\\x1B]0;t\\x07\\x1B[2J\\x7F"_s;
        QTest::newRow("C1: NEL, CSI")
            << u"a\u0085b\u009Bc"_s << u"a"_s + bad + u"b" + bad + u"c" << u"a\\x85b\\x9Bc"_s;
        QTest::newRow("line and paragraph separators")
            << u"a\u2028b\u2029"_s << u"a"_s + bad + u"b" + bad << u"a\\u{2028}b\\u{2029}"_s;
        QTest::newRow("bidirectional controls")
            << u"Tallyfin \u202EekiB\u202C \u2066\u2069\u061C\u200E\u200F\u202A"_s
            << u"Tallyfin "_s + bad + u"ekiB" + bad + u" " + bad + bad + bad + bad + bad + bad
            << u"Tallyfin \\u{202E}ekiB\\u{202C} \\u{2066}\\u{2069}\\u{61C}\\u{200E}\\u{200F}"
               u"\\u{202A}"_s;
        QTest::newRow("lone surrogate")
            << u"a"_s + QChar(0xD800) + u"b" << u"a"_s + bad + u"b" << u"a\\u{D800}b"_s;
        const QString longest = QString(maximumNameLength - 1, u'n') + u"😀"_s;
        QTest::newRow("248 characters stay") << longest << longest << longest;
        QTest::newRow("249 are cut")
            << longest + u'x' << QString(maximumNameLength - 1, u'n') + u'\u2026' << longest + u'x';
    }
    void names() {
        QFETCH(QString, text);
        QTEST(sanitizedName(text), "name");
        QTEST(escapedText(text), "escaped");
    }
};

QTEST_GUILESS_MAIN(TestOutsideText)
#include "tst_outsidetext.moc"
