// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QDBusMessage>
#include <QObject>

namespace tallyfin::ui {

// How the desktop looks to the views: whether translucent windows really show what is behind
// them (an X11 session needs a compositor for that) and whether the desktop's scheme is dark.
// Without translucency the views paint opaque fills and the windows are cut to their outline.
//
// The scheme is the desktop portal's "color-scheme" setting (org.freedesktop.appearance), read
// over the session bus and followed while it changes; where no portal answers, or it states no
// preference, the palette's brightness decides.
class Appearance : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool translucent READ translucent NOTIFY translucentChanged)
    Q_PROPERTY(bool darkDesktop READ darkDesktop NOTIFY darkDesktopChanged)

public:
    // The portal's values of "color-scheme".
    enum class PortalScheme : uint { noPreference = 0, preferDark = 1, preferLight = 2 };

    explicit Appearance(QObject* parent = nullptr);

    bool translucent() const { return m_translucent; }
    bool darkDesktop() const { return m_darkDesktop; }
    void setTranslucent(bool translucent);
    void setDarkDesktop(bool dark);

    // Qt 6.4 has no colour-scheme hint; a dark window background means a dark desktop.
    static bool paletteIsDark();

Q_SIGNALS:
    void translucentChanged();
    void darkDesktopChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void portalSettingChanged(const QDBusMessage& message);

private:
    void watchPortal();
    void applyPortalValue(const QVariant& value);
    void decideScheme();

    bool m_translucent = false;
    bool m_darkDesktop = false;
    PortalScheme m_portalScheme = PortalScheme::noPreference;
};

} // namespace tallyfin::ui
