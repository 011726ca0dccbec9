#pragma once

#include <QObject>
#include <QRectF>
#include <QRegion>
#include <QWindow>
#include <QtQml/qqmlregistration.h>

namespace tallyfin::ui {

// How the desktop looks to the views: whether translucent windows really show what is behind
// them (an X11 session needs a compositor for that) and whether the desktop's scheme is dark.
// Without translucency the views paint opaque fills and the windows are cut to their outline.
class Appearance : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Built by the application")
    Q_PROPERTY(bool translucent READ translucent NOTIFY translucentChanged)
    Q_PROPERTY(bool darkDesktop READ darkDesktop NOTIFY darkDesktopChanged)

public:
    explicit Appearance(QObject* parent = nullptr);

    bool translucent() const { return m_translucent; }
    bool darkDesktop() const { return m_darkDesktop; }
    void setTranslucent(bool translucent);
    void setDarkDesktop(bool dark);

    // Cuts `window` to a rounded rectangle (in window coordinates) when windows are not
    // translucent; with translucency the window keeps its full rectangle.
    Q_INVOKABLE void shapeWindow(QWindow* window, const QRectF& body, qreal radius) const;
    // The same for a popover: its body and a downward arrow whose tip is at `arrowTipX`.
    Q_INVOKABLE void shapePopover(QWindow* window, const QRectF& body, qreal radius,
                                  qreal arrowTipX, qreal arrowWidth, qreal arrowHeight) const;

    // Qt 6.4 has no colour-scheme hint; a dark window background means a dark desktop.
    static bool paletteIsDark();
    static QRegion roundedRegion(const QRectF& body, qreal radius);
    static QRegion popoverRegion(const QRectF& body, qreal radius, qreal arrowTipX,
                                 qreal arrowWidth, qreal arrowHeight);

Q_SIGNALS:
    void translucentChanged();
    void darkDesktopChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void readPalette();

    bool m_translucent = false;
    bool m_darkDesktop = false;
};

} // namespace tallyfin::ui
