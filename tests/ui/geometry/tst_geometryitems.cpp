#include "ui/geometry/PixelSignalCompact.h"
#include "ui/geometry/PowerSparklineView.h"
#include "ui/geometry/WavyRoundedRectangleItem.h"

#include <QDir>
#include <QImage>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTest>

#include <memory>

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

class TestGeometryItems : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qmlRegisterType<CountingWavy>("Tallyfin.GeometryTest.Counting", 1, 0, "CountingWavy");
    }

    void wavyOutlinePaintsTheDent() {
        auto view = show(QByteArrayLiteral(R"(
            import QtQuick
            import Tallyfin.GeometryTest
            Rectangle {
                width: 520; height: 80; color: "white"
                WavyRoundedRectangle {
                    objectName: "shape"; x: 10; y: 10; width: 500; height: 60
                    cornerRadius: 22; amplitude: 3.5; traverseRatio: 0.6; phase: 0.3
                    color: "black"
                }
            })"));
        auto* shape = find<WavyRoundedRectangleItem>(*view, "shape");
        QVERIFY(shape->isDented());

        QImage image = view->grabWindow();
        save(image, u"wavy-dented.png");
        // At the dent's centre both edges are pressed in by 3.5 points.
        QCOMPARE(grey(image, 260, 11), 255);
        QCOMPARE(grey(image, 260, 12), 255);
        QCOMPARE(grey(image, 260, 15), 0);
        QCOMPARE(grey(image, 260, 68), 255);
        QCOMPARE(grey(image, 260, 64), 0);
        // Far from it the edges are where the rectangle is.
        QCOMPARE(grey(image, 60, 11), 0);
        QCOMPARE(grey(image, 60, 68), 0);
        // Rounded corners, and nothing outside the item.
        QCOMPARE(grey(image, 11, 11), 255);
        QCOMPARE(grey(image, 5, 40), 255);
        QCOMPARE(grey(image, 12, 40), 0);

        QSignalSpy dented(shape, &WavyRoundedRectangleItem::dentedChanged);
        shape->setPhase(0.9);
        QCOMPARE(dented.size(), 1);
        QVERIFY(!shape->isDented());
        image = view->grabWindow();
        save(image, u"wavy-rest.png");
        QCOMPARE(grey(image, 260, 11), 0);
        QCOMPARE(grey(image, 260, 68), 0);
    }

    void wavyBorderStaysInside() {
        auto view = show(QByteArrayLiteral(R"(
            import QtQuick
            import Tallyfin.GeometryTest
            Rectangle {
                width: 220; height: 60; color: "white"
                WavyRoundedRectangle {
                    x: 10; y: 10; width: 200; height: 40; cornerRadius: 10
                    color: "transparent"; borderColor: "black"; borderWidth: 2
                }
            })"));
        const QImage image = view->grabWindow();
        save(image, u"wavy-border.png");
        QCOMPARE(grey(image, 110, 10), 0);
        QCOMPARE(grey(image, 110, 11), 0);
        QCOMPARE(grey(image, 110, 9), 255);
        QCOMPARE(grey(image, 110, 12), 255);
        QCOMPARE(grey(image, 110, 30), 255);
    }

    // The searching timer changes the phase 30 times a second; during the resting part of the
    // cycle, or with no dent at all, that must not repaint anything.
    void repaintsOnlyWhenTheOutlineChanges() {
        auto view = show(QByteArrayLiteral(R"(
            import QtQuick
            import Tallyfin.GeometryTest.Counting
            CountingWavy {
                objectName: "shape"; width: 300; height: 50
                cornerRadius: 22; amplitude: 3.5; traverseRatio: 0.6; phase: 0.7
            })"));
        auto* shape = dynamic_cast<CountingWavy*>(view->rootObject());
        QVERIFY(shape);
        view->grabWindow();
        QCOMPARE(shape->paints, 1);

        const auto paintsAfter = [&](auto change) {
            change();
            view->grabWindow();
            return shape->paints;
        };
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.8); }), 1);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.95); }), 1);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.1); }), 2);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.1); }), 2);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.1 + 1.0 / 45); }), 3);
        QCOMPARE(paintsAfter([&] { shape->setAmplitude(0); }), 4);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.3); }), 4);
        QCOMPARE(paintsAfter([&] { shape->setPhase(0.5); }), 4);
        QCOMPARE(paintsAfter([&] { shape->setWidth(320); }), 5);
        QCOMPARE(paintsAfter([&] { shape->setColor(Qt::red); }), 6);
    }

    void signalBarsPaintLitAndUnlit() {
        auto view = show(QByteArrayLiteral(R"(
            import QtQuick
            import Tallyfin.GeometryTest
            Rectangle {
                width: 18; height: 14; color: "white"
                PixelSignalCompact {
                    objectName: "bars"; strength: 2; barCount: 4; barWidth: 3; spacing: 2
                    maxHeight: 14; color: "black"
                }
            })"));
        auto* bars = find<PixelSignalCompact>(*view, "bars");
        QCOMPARE(bars->implicitWidth(), 18.0);
        QCOMPARE(bars->implicitHeight(), 14.0);
        QCOMPARE(bars->width(), 18.0);

        const QImage image = view->grabWindow();
        save(image, u"signal-bars.png");
        const int lit = 255 - qRound(0.7 * 255);
        const int unlit = 255 - qRound(0.2 * 255);
        QVERIFY(qAbs(grey(image, 1, 13) - lit) <= 2);    // first bar, lit
        QVERIFY(qAbs(grey(image, 6, 13) - lit) <= 2);    // second bar, lit
        QVERIFY(qAbs(grey(image, 11, 13) - unlit) <= 2); // third bar, unlit
        QVERIFY(qAbs(grey(image, 16, 1) - unlit) <= 2);  // top of the tallest bar
        QCOMPARE(grey(image, 1, 9), 255);                // above the shortest bar
        QCOMPARE(grey(image, 3, 13), 255);               // gap between bars
    }

    void sparklinePaintsBarsFromTheBottomLeft() {
        auto view = show(QByteArrayLiteral(R"(
            import QtQuick
            import Tallyfin.GeometryTest
            Rectangle {
                width: 100; height: 100; color: "white"
                PowerSparklineView {
                    objectName: "chart"; anchors.fill: parent
                    dataPoints: [100, 200]; maxBarCount: 4; barSpacing: 0; color: "black"
                }
            })"));
        auto* chart = find<PowerSparklineView>(*view, "chart");
        QCOMPARE(chart->dataPoints(), (QList<int>{100, 200}));

        QImage image = view->grabWindow();
        save(image, u"sparkline.png");
        QCOMPARE(grey(image, 12, 99), 0);
        QCOMPARE(grey(image, 12, 65), 0);
        QCOMPARE(grey(image, 12, 64), 255);
        QCOMPARE(grey(image, 37, 30), 0);
        QCOMPARE(grey(image, 37, 29), 255);
        QCOMPARE(grey(image, 75, 99), 255); // empty slots on the right

        chart->setClipRadius(20);
        image = view->grabWindow();
        QCOMPARE(grey(image, 0, 99), 255); // cut off by the rounded corner
        QCOMPARE(grey(image, 22, 97), 0);

        chart->setDataPoints({100});
        image = view->grabWindow();
        QCOMPARE(grey(image, 12, 99), 255);
    }

private:
    std::unique_ptr<QQuickView> show(const QByteArray& qml) {
        auto view = std::make_unique<QQuickView>();
        QQmlComponent component(view->engine());
        component.setData(qml, QUrl(QStringLiteral("qrc:/test.qml")));
        if (component.isError()) {
            qWarning() << component.errors();
        }
        auto* root = qobject_cast<QQuickItem*>(component.create());
        if (!root) {
            return view;
        }
        view->setContent(QUrl(), &component, root);
        view->show();
        return view;
    }

    template<typename T>
    T* find(QQuickView& view, const char* name) {
        auto* item = view.rootObject()->findChild<T*>(QLatin1String(name));
        Q_ASSERT(item);
        return item;
    }

    // With TALLYFIN_PICTURE_DIR set, keeps the rendered pictures there.
    void save(const QImage& image, QStringView name) {
        const QString dir = qEnvironmentVariable("TALLYFIN_PICTURE_DIR");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            image.save(dir + u'/' + name);
        }
    }
};

QTEST_MAIN(TestGeometryItems)
#include "tst_geometryitems.moc"
