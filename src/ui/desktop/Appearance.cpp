// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "Appearance.h"

#include "DesktopLogging.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace tallyfin::ui {

using namespace Qt::StringLiterals;

namespace {

const QString portalService = u"org.freedesktop.portal.Desktop"_s;
const QString portalPath = u"/org/freedesktop/portal/desktop"_s;
const QString settingsInterface = u"org.freedesktop.portal.Settings"_s;
const QString appearanceGroup = u"org.freedesktop.appearance"_s;
const QString colorSchemeKey = u"color-scheme"_s;
constexpr int portalReadTimeoutMs = 250;

} // namespace

Appearance::Appearance(QObject* parent)
    : QObject(parent) {
    // Other window systems composite; X11 does only with a compositing manager running, which
    // the window stack keeper reports once the panel is set up (setTranslucent).
    const QString platform = QGuiApplication::platformName();
    m_translucent = platform != u"xcb" && platform != u"offscreen";
    decideScheme();
    if (qApp) {
        qApp->installEventFilter(this);
    }
    watchPortal();
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

void Appearance::decideScheme() {
    switch (m_portalScheme) {
    case PortalScheme::preferDark:
        setDarkDesktop(true);
        return;
    case PortalScheme::preferLight:
        setDarkDesktop(false);
        return;
    case PortalScheme::noPreference:
        setDarkDesktop(paletteIsDark());
        return;
    }
}

bool Appearance::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) {
        decideScheme();
    }
    return QObject::eventFilter(watched, event);
}

void Appearance::watchPortal() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCInfo(lcDesktop) << "no session bus: the colour scheme follows the palette";
        return;
    }
    // The whole message: a slot taking a QDBusVariant would need QtDBus's types registered first.
    if (!bus.connect(portalService, portalPath, settingsInterface, u"SettingChanged"_s, this,
                     SLOT(portalSettingChanged(QDBusMessage)))) {
        qCWarning(lcDesktop) << "cannot follow the desktop portal's settings:"
                             << bus.lastError().message();
    }
    QDBusMessage read =
        QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface, u"Read"_s);
    read << appearanceGroup << colorSchemeKey;
    // Waited for, briefly, so that the first frame and the first usage signal already have the
    // desktop's scheme; a portal that does not answer in time leaves the palette's.
    const QDBusMessage reply = bus.call(read, QDBus::Block, portalReadTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        applyPortalValue(reply.arguments().constFirst());
    } else {
        qCInfo(lcDesktop) << "the desktop portal gives no colour scheme (" << reply.errorMessage()
                          << "); it follows the palette";
    }
}

void Appearance::portalSettingChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() == 3 && arguments.at(0).toString() == appearanceGroup &&
        arguments.at(1).toString() == colorSchemeKey) {
        applyPortalValue(arguments.at(2));
    }
}

void Appearance::applyPortalValue(const QVariant& value) {
    // Read wraps the setting in one more variant than SettingChanged does.
    QVariant inner = value;
    while (inner.metaType() == QMetaType::fromType<QDBusVariant>()) {
        inner = inner.value<QDBusVariant>().variant();
    }
    bool ok = false;
    const uint scheme = inner.toUInt(&ok);
    if (!ok || scheme > static_cast<uint>(PortalScheme::preferLight)) {
        qCWarning(lcDesktop) << "ignoring the desktop portal's colour scheme" << inner
                             << "(expected 0, 1 or 2)";
        m_portalScheme = PortalScheme::noPreference;
    } else {
        m_portalScheme = static_cast<PortalScheme>(scheme);
        qCInfo(lcDesktop) << "desktop colour scheme from the portal:" << scheme;
    }
    decideScheme();
}

} // namespace tallyfin::ui
