#include "ui/symbols/SymbolGlyph.h"
#include "ui/symbols/SymbolResolver.h"

#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTest>
#include <QTextLayout>

#include <memory>

using tallyfin::ui::Symbol;
using tallyfin::ui::SymbolGlyph;
using tallyfin::ui::SymbolResolver;

namespace {

// Share of pixels with any coverage.
qreal inkShare(const QImage& image) {
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            inked += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return qreal(inked) / (image.width() * image.height());
}

void save(const QImage& image, QStringView name) {
    const QString dir = qEnvironmentVariable("TALLYFIN_PICTURE_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        image.save(dir + u'/' + name);
    }
}

} // namespace

class TestSymbols : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qmlRegisterType<SymbolGlyph>("Tallyfin.SymbolsTest", 1, 0, "SymbolGlyph");
    }

    // Every symbol name the views use, and our own images for the two the font lacks.
    void resolvesTheViewsNames() {
        const QStringList used{QStringLiteral("figure.rower"),
                               QStringLiteral("figure.indoor.cycle"),
                               QStringLiteral("figure.run"),
                               QStringLiteral("figure.elliptical"),
                               QStringLiteral("figure.strengthtraining.traditional"),
                               QStringLiteral("figure.walk"),
                               QStringLiteral("timer"),
                               QStringLiteral("speedometer"),
                               QStringLiteral("metronome"),
                               QStringLiteral("bolt.fill"),
                               QStringLiteral("flame.fill"),
                               QStringLiteral("heart.fill"),
                               QStringLiteral("info.circle"),
                               QStringLiteral("info.circle.fill"),
                               QStringLiteral("xmark.circle"),
                               QStringLiteral("chevron.left"),
                               QStringLiteral("chevron.right"),
                               QStringLiteral("dot.radiowaves.left.and.right"),
                               QStringLiteral("doc.on.clipboard"),
                               QStringLiteral("checkmark")};
        for (const QString& name : used) {
            const Symbol symbol = SymbolResolver::resolve(name);
            QVERIFY2(symbol.isKnown(), qPrintable(name));
            QCOMPARE(symbol.name, name);
            QCOMPARE(symbol.isImage(), name == u"metronome" || name == u"figure.elliptical");
        }
        QCOMPARE(SymbolResolver::names().size(), used.size());
    }

    void everyNameDrawsSomething_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : SymbolResolver::names()) {
            QTest::newRow(qPrintable(name)) << name;
        }
    }

    // A misspelt ligature would show as a word; a broken image as nothing.
    void everyNameDrawsSomething() {
        QFETCH(QString, name);
        const Symbol symbol = SymbolResolver::resolve(name);
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
            QSvgRenderer renderer(u':' + symbol.source.path());
            QVERIFY(renderer.isValid());
            QCOMPARE(renderer.viewBoxF(), QRectF(0, 0, 24, 24));
            QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter);
            painter.end();
            // Drawn like the font's icons: real ink, well inside the square.
            const qreal share = inkShare(image);
            QVERIFY2(share > 0.12 && share < 0.6, qPrintable(QString::number(share)));
        }
    }

    void unknownNameResolvesToNothing() {
        QTest::ignoreMessage(QtWarningMsg,
                             "Unknown symbol name \"figure.unicycle\" - nothing is drawn for it");
        // Any further warning fails: the name is reported once only.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        const Symbol symbol = SymbolResolver::resolve(u"figure.unicycle");
        QVERIFY(!symbol.isKnown());
        QCOMPARE(symbol.name, QStringLiteral("figure.unicycle"));
        QVERIFY(!SymbolResolver::resolve(u"figure.unicycle").isKnown());
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
        auto view = show(QStringLiteral(R"(
            import QtQuick
            import Tallyfin.SymbolsTest
            Rectangle {
                width: 40; height: 40; color: "white"
                SymbolGlyph { objectName: "glyph"; name: "%1"; pixelSize: 40; color: "#0000ff" }
            })")
                             .arg(name));
        auto* glyph = view->rootObject()->findChild<SymbolGlyph*>(QStringLiteral("glyph"));
        QVERIFY(glyph);
        QCOMPARE(glyph->implicitWidth(), 40.0);
        QCOMPARE(glyph->implicitHeight(), 40.0);
        QCOMPARE(glyph->baselineOffset(), 40.0);

        const QImage image = view->grabWindow();
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

    void glyphSizeFollowsPixelSize() {
        SymbolGlyph glyph;
        glyph.setName(QStringLiteral("timer"));
        glyph.setPixelSize(18.4);
        QCOMPARE(glyph.implicitWidth(), 18.4);
        QCOMPARE(glyph.baselineOffset(), 18.4);
        QCOMPARE(glyph.symbol().ligature, QStringLiteral("timer"));
        glyph.setName(QString());
        QVERIFY(!glyph.symbol().isKnown());
    }

    // Every symbol through the item, in a row: each one puts ink in its own square only.
    void everySymbolPaintsInItsSquare() {
        if (!SymbolResolver::fontAvailable()) {
            QSKIP("The Material Icons font is not installed");
        }
        const QStringList names = SymbolResolver::names();
        auto view = show(QStringLiteral(R"(
            import QtQuick
            import Tallyfin.SymbolsTest
            Rectangle {
                width: names.length * 32; height: 32; color: "white"
                property var names: [%1]
                Row {
                    Repeater {
                        model: names
                        SymbolGlyph { required property string modelData; name: modelData; pixelSize: 32 }
                    }
                }
            })")
                             .arg(u'"' + names.join(QStringLiteral("\", \"")) + u'"'));
        const QImage image = view->grabWindow();
        save(image, u"symbols.png");
        QCOMPARE(image.width(), int(names.size()) * 32);
        for (int i = 0; i < names.size(); ++i) {
            int inked = 0;
            for (int y = 0; y < 32; ++y) {
                for (int x = i * 32; x < i * 32 + 32; ++x) {
                    inked += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
                }
            }
            // Between a chevron's thin stroke and a filled heart.
            QVERIFY2(inked > 40 && inked < 700,
                     qPrintable(names.at(i) + u' ' + QString::number(inked)));
        }
    }

private:
    std::unique_ptr<QQuickView> show(const QString& qml) {
        auto view = std::make_unique<QQuickView>();
        QQmlComponent component(view->engine());
        component.setData(qml.toUtf8(), QUrl(QStringLiteral("qrc:/test.qml")));
        if (component.isError()) {
            qWarning() << component.errors();
        }
        auto* root = qobject_cast<QQuickItem*>(component.create());
        if (root) {
            view->setContent(QUrl(), &component, root);
            view->show();
        }
        return view;
    }
};

QTEST_MAIN(TestSymbols)
#include "tst_symbols.moc"
