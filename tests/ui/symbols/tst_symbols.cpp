// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ui/symbols/SymbolGlyph.h"
#include "ui/symbols/SymbolResolver.h"

#include <QFont>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickView>
#include <QSvgRenderer>
#include <QTest>
#include <QTextLayout>

using tallyfin::ui::Symbol;
using tallyfin::ui::SymbolGlyph;
using tallyfin::ui::SymbolResolver;

class TestSymbols : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qmlRegisterType<SymbolGlyph>("Tallyfin.SymbolsTest", 1, 0, "SymbolGlyph");
    }

    // Every name the resolver knows; the views test fails on a name it does not know.
    void everyNameDrawsSomething_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : SymbolResolver::names()) {
            QTest::newRow(qPrintable(name)) << name;
        }
    }

    // A misspelt ligature would show as a word, one glyph a letter; a broken image as nothing.
    void everyNameDrawsSomething() {
        QFETCH(QString, name);
        const Symbol symbol = SymbolResolver::resolve(name);
        QVERIFY(symbol.isKnown());
        if (symbol.isLigature()) {
            if (!SymbolResolver::fontAvailable()) {
                QSKIP("The Material Icons font is not installed");
            }
            QFont font(SymbolResolver::fontFamily());
            font.setPixelSize(48);
            QTextLayout layout(symbol.ligature, font);
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            const auto runs = layout.glyphRuns();
            QCOMPARE(runs.size(), 1);
            QCOMPARE(runs.constFirst().glyphIndexes().size(), 1);
            QCOMPARE(runs.constFirst().rawFont().familyName(), SymbolResolver::fontFamily());
        } else {
            // Drawn in the font's 24-point square; glyphPaintsBothKindsInItsColour paints one.
            QSvgRenderer renderer(u':' + symbol.source.path());
            QVERIFY(renderer.isValid());
            QCOMPARE(renderer.viewBoxF(), QRectF(0, 0, 24, 24));
        }
    }

    void glyphPaintsBothKindsInItsColour_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("font ligature") << QStringLiteral("heart.fill");
        QTest::newRow("own image") << QStringLiteral("metronome");
    }

    void glyphPaintsBothKindsInItsColour() {
        QFETCH(QString, name);
        if (!SymbolResolver::fontAvailable()) {
            QSKIP("The Material Icons font is not installed");
        }
        QQuickView view;
        QQmlComponent component(view.engine());
        component.setData(QStringLiteral(R"(
            import QtQuick
            import Tallyfin.SymbolsTest
            SymbolGlyph { name: "%1"; pixelSize: 40; color: "#0000ff" })")
                              .arg(name)
                              .toUtf8(),
                          QUrl());
        auto* glyph = qobject_cast<SymbolGlyph*>(component.create());
        QVERIFY2(glyph, qPrintable(component.errorString()));
        view.setColor(Qt::white);
        view.setContent(QUrl(), &component, glyph);
        view.show();
        QCOMPARE(glyph->implicitWidth(), 40.0);
        QCOMPARE(glyph->implicitHeight(), 40.0);
        QCOMPARE(glyph->baselineOffset(), 40.0);

        const QImage image = view.grabWindow();
        int blue = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                // Every pixel lies between white and the colour: nothing black, nothing else.
                QCOMPARE(qRed(pixel), qGreen(pixel));
                QCOMPARE(qBlue(pixel), 255);
                blue += qRed(pixel) < 64 ? 1 : 0;
            }
        }
        QVERIFY2(blue > 150, qPrintable(QString::number(blue)));
    }
};

QTEST_MAIN(TestSymbols)
#include "tst_symbols.moc"
