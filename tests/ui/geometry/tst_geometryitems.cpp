#include "ui/geometry/PixelSignalCompact.h"
#include "ui/geometry/PowerSparklineView.h"
#include "ui/geometry/WavyRoundedRectangleItem.h"

#include <QImage>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTest>

using tallyfin::ui::PixelSignalCompact;
using tallyfin::ui::PowerSparklineView;
using tallyfin::ui::WavyRoundedRectangleItem;

namespace {

// Counts how often the outline is actually repainted.
class CountingWavy : public WavyRoundedRectangleItem {
public:
    void paint(QPainter* painter) override {
        ++paints;
        WavyRoundedRectangleItem::paint(painter);
    }
    int paints = 0;
};

// Grey level (0 black, 255 white) of a pixel.
int grey(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y));
}

} // namespace

// The painted items in a real QML engine, each painting what its geometry says.
class TestGeometryItems : public QObject {
    Q_OBJECT

    QQuickView m_view;

    // Shows `qml` (with the items' module imported) and returns its child `name`.
    template<typename T = QQuickItem>
    T* show(const char* qml, const char* name = "") {
        QQmlComponent component(m_view.engine());
        component.setData(QByteArray("import QtQuick\nimport Tallyfin.GeometryTest\n"
                                     "import Tallyfin.GeometryTest.Counting\n") +
                              qml,
                          QUrl());
        auto* root = qobject_cast<QQuickItem*>(component.create());
        if (!root) {
            qWarning() << component.errors();
            return nullptr;
        }
        m_view.setContent(QUrl(), &component, root);
        m_view.show();
        return qobject_cast<T*>(*name ? root->findChild<T*>(QLatin1String(name)) : root);
    }

private Q_SLOTS:
    void initTestCase() {
        qmlRegisterType<CountingWavy>("Tallyfin.GeometryTest.Counting", 1, 0, "CountingWavy");
    }

    // The searching outline with its dent in the middle (t = 0.5), and a border-only outline.
    void wavyOutlinePaintsTheDentAndBorder() {
        auto* shape = show<WavyRoundedRectangleItem>(R"(
            Rectangle {
                width: 520; height: 140; color: "white"
                WavyRoundedRectangle {
                    objectName: "shape"; x: 10; y: 10; width: 500; height: 60
                    cornerRadius: 22; amplitude: 3.5; traverseRatio: 0.6; phase: 0.3
                    color: "black"
                }
                WavyRoundedRectangle {
                    x: 10; y: 90; width: 200; height: 40; cornerRadius: 10
                    color: "transparent"; borderColor: "black"; borderWidth: 2
                }
            })",
                                                     "shape");
        QVERIFY(shape && shape->isDented());
        QImage image = m_view.grabWindow();
        // At the dent's centre both edges are pressed in by 3.5 points; far from it they are
        // where the rectangle is; the corners are rounded.
        QCOMPARE(grey(image, 260, 12), 255);
        QCOMPARE(grey(image, 260, 15), 0);
        QCOMPARE(grey(image, 260, 68), 255);
        QCOMPARE(grey(image, 260, 64), 0);
        QCOMPARE(grey(image, 60, 11), 0);
        QCOMPARE(grey(image, 60, 68), 0);
        QCOMPARE(grey(image, 11, 11), 255);
        // The border lies inside the outline.
        QCOMPARE(grey(image, 110, 89), 255);
        QCOMPARE(grey(image, 110, 90), 0);
        QCOMPARE(grey(image, 110, 91), 0);
        QCOMPARE(grey(image, 110, 92), 255);

        QSignalSpy dented(shape, &WavyRoundedRectangleItem::dentedChanged);
        shape->setPhase(0.9);
        QCOMPARE(dented.size(), 1);
        QVERIFY(!shape->isDented());
        image = m_view.grabWindow();
        QCOMPARE(grey(image, 260, 11), 0);
        QCOMPARE(grey(image, 260, 68), 0);
    }

    // The searching timer changes the phase 30 times a second; during the resting part of the
    // cycle, or with no dent at all, that must not repaint anything.
    void repaintsOnlyWhenTheOutlineChanges() {
        auto* shape = dynamic_cast<CountingWavy*>(show(R"(
            CountingWavy {
                width: 300; height: 50
                cornerRadius: 22; amplitude: 3.5; traverseRatio: 0.6; phase: 0.7
            })"));
        QVERIFY(shape);
        const auto paintsAfter = [&](auto change) {
            change();
            m_view.grabWindow();
            return shape->paints;
        };
        QCOMPARE(paintsAfter([] {}), 1);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.8); }), 1);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.1); }), 2);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.1); }), 2);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.1 + 1.0 / 45); }), 3);
        QCOMPARE(paintsAfter([&] { shape->setAmplitude(0); }), 4);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.3); }), 4);
        QCOMPARE(paintsAfter([&] { shape->setWidth(320); }), 5);
        QCOMPARE(paintsAfter([&] { shape->setColor(Qt::red); }), 6);
    }

    // Signal bars at strength 2 in the top left; below them a chart of 100 and 200 W in four
    // slots without gaps.
    void signalBarsAndSparkline() {
        auto* bars = show<PixelSignalCompact>(R"(
            Rectangle {
                width: 100; height: 120; color: "white"
                PixelSignalCompact {
                    objectName: "bars"; strength: 2; barCount: 4; barWidth: 3; spacing: 2
                    maxHeight: 14; color: "black"
                }
                PowerSparklineView {
                    objectName: "chart"; y: 20; width: 100; height: 100
                    dataPoints: [100, 200]; maxBarCount: 4; barSpacing: 0; color: "black"
                }
            })",
                                              "bars");
        QVERIFY(bars);
        QCOMPARE(QSizeF(bars->implicitWidth(), bars->implicitHeight()), QSizeF(18, 14));
        QImage image = m_view.grabWindow();
        QVERIFY(qAbs(grey(image, 6, 13) - (255 - qRound(0.7 * 255))) <= 2); // second bar, lit
        QVERIFY(qAbs(grey(image, 16, 1) - (255 - qRound(0.2 * 255))) <= 2); // tallest, unlit
        QCOMPARE(grey(image, 3, 13), 255);                                  // gap between bars

        // Bars of 35 and 70 points grow from the bottom left; the other slots stay empty.
        QCOMPARE(grey(image, 12, 85), 0);
        QCOMPARE(grey(image, 12, 84), 255);
        QCOMPARE(grey(image, 37, 50), 0);
        QCOMPARE(grey(image, 75, 119), 255);

        auto* chart = m_view.rootObject()->findChild<PowerSparklineView*>(QStringLiteral("chart"));
        chart->setClipRadius(20);
        image = m_view.grabWindow();
        QCOMPARE(grey(image, 0, 119), 255); // cut off by the rounded corner
        QCOMPARE(grey(image, 22, 117), 0);
        chart->setDataPoints({100});
        image = m_view.grabWindow();
        QCOMPARE(grey(image, 12, 119), 255);
    }
};

QTEST_MAIN(TestGeometryItems)
#include "tst_geometryitems.moc"
