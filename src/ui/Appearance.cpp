#include "Appearance.h"

#include "X11Support.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainterPath>
#include <QPalette>
#include <QWindow>

namespace tallyfin::ui {

Appearance::Appearance(QObject* parent)
    : QObject(parent) {
    // Other window systems composite; X11 does only with a compositing manager running.
    const QString platform = QGuiApplication::platformName();
    m_translucent = platform == u"xcb" ? x11::compositorRunning() : platform != u"offscreen";
    readPalette();
    if (qApp) {
        qApp->installEventFilter(this);
    }
}

void Appearance::setTranslucent(bool translucent) {
    if (translucent != m_translucent) {
        m_translucent = translucent;
        Q_EMIT translucentChanged();
    }
}

void Appearance::setDarkDesktop(bool dark) {
    if (dark != m_darkDesktop) {
        m_darkDesktop = dark;
        Q_EMIT darkDesktopChanged();
    }
}

bool Appearance::paletteIsDark() {
    return QGuiApplication::palette().color(QPalette::Window).lightnessF() < 0.5;
}

void Appearance::readPalette() {
    setDarkDesktop(paletteIsDark());
}

bool Appearance::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) {
        readPalette();
    }
    return QObject::eventFilter(watched, event);
}

QRegion Appearance::roundedRegion(const QRectF& body, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(body, radius, radius);
    return QRegion(path.toFillPolygon().toPolygon());
}

QRegion Appearance::popoverRegion(const QRectF& body, qreal radius, qreal arrowTipX,
                                  qreal arrowWidth, qreal arrowHeight) {
    QPainterPath path;
    path.addRoundedRect(body, radius, radius);
    QPainterPath arrow;
    arrow.moveTo(arrowTipX - arrowWidth / 2, body.bottom() - 1);
    arrow.lineTo(arrowTipX, body.bottom() + arrowHeight);
    arrow.lineTo(arrowTipX + arrowWidth / 2, body.bottom() - 1);
    arrow.closeSubpath();
    return QRegion(path.united(arrow).toFillPolygon().toPolygon());
}

namespace {

// The offscreen platform draws no desktop behind windows and cannot cut them.
bool canShapeWindows() {
    return QGuiApplication::platformName() != u"offscreen";
}

} // namespace

void Appearance::shapeWindow(QWindow* window, const QRectF& body, qreal radius) const {
    if (window && canShapeWindows()) {
        window->setMask(m_translucent ? QRegion() : roundedRegion(body, radius));
    }
}

void Appearance::shapePopover(QWindow* window, const QRectF& body, qreal radius, qreal arrowTipX,
                              qreal arrowWidth, qreal arrowHeight) const {
    if (window && canShapeWindows()) {
        window->setMask(m_translucent
                            ? QRegion()
                            : popoverRegion(body, radius, arrowTipX, arrowWidth, arrowHeight));
    }
}

} // namespace tallyfin::ui
