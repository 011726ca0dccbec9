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

    void resolvesTheViewsNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("ligature");
        QTest::addColumn<QString>("image");
        const auto row = [](const char* name, const char* ligature, const char* image = "") {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(ligature)
                                << QString::fromLatin1(image);
        };
        row("figure.rower", "rowing");
        row("figure.indoor.cycle", "directions_bike");
        row("figure.run", "directions_run");
        row("figure.walk", "directions_walk");
        row("figure.strengthtraining.traditional", "fitness_center");
        row("figure.elliptical", "", "qrc:/tallyfin/symbols/figure.elliptical.svg");
        row("metronome", "", "qrc:/tallyfin/symbols/metronome.svg");
        row("timer", "timer");
        row("speedometer", "speed");
        row("bolt.fill", "bolt");
        row("flame.fill", "local_fire_department");
        row("heart.fill", "favorite");
        row("info.circle", "info_outline");
        row("info.circle.fill", "info");
        row("xmark.circle", "highlight_off");
        row("chevron.left", "chevron_left");
        row("chevron.right", "chevron_right");
        row("dot.radiowaves.left.and.right", "sensors");
        row("doc.on.clipboard", "content_paste");
        row("checkmark", "check");
    }

    void resolvesTheViewsNames() {
        QFETCH(QString, name);
        QFETCH(QString, ligature);
        QFETCH(QString, image);
        const Symbol symbol = SymbolResolver::resolve(name);
        QCOMPARE(symbol.name, name);
        QCOMPARE(symbol.ligature, ligature);
        QCOMPARE(symbol.source, QUrl(image));
        QVERIFY(symbol.isKnown());
        QCOMPARE(symbol.isLigature(), !ligature.isEmpty());
        QVERIFY(SymbolResolver::names().contains(name));
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

    // Every symbol in the colours of both schemes, to look at.
    void symbolSheet() {
        auto view =
            show(QStringLiteral(R"(
            import QtQuick
            import Tallyfin.SymbolsTest
            Column {
                property var names: [%1]
                Repeater {
                    model: [["white", "#222222"], ["#1d1d1f", "#f2f2f2"]]
                    Rectangle {
                        required property var modelData
                        width: 24 + names.length * 36; height: 60; color: modelData[1]
                        Row {
                            x: 12; y: 12; spacing: 12
                            Repeater {
                                model: names
                                SymbolGlyph {
                                    required property string modelData
                                    name: modelData; pixelSize: 24
                                    color: parent.parent.modelData[0]
                                }
                            }
                        }
                        Text {
                            x: 12; y: 40; text: "metronome, figure.elliptical at 16:"
                            color: parent.modelData[0]; font.pixelSize: 11
                        }
                        Row {
                            x: 210; y: 40; spacing: 8
                            SymbolGlyph { name: "metronome"; pixelSize: 16; color: parent.parent.modelData[0] }
                            SymbolGlyph { name: "figure.elliptical"; pixelSize: 16; color: parent.parent.modelData[0] }
                        }
                    }
                }
            })")
                     .arg(u'"' + SymbolResolver::names().join(QStringLiteral("\", \"")) + u'"'));
        save(view->grabWindow(), u"symbols.png");
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
