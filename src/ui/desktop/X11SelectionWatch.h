// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

class QSocketNotifier;
struct xcb_connection_t;

namespace tallyfin::ui::x11 {

// Tells when an X selection of the default screen changes owner (taken, released, its owner's
// window destroyed or its client gone), through the XFixes extension on an X connection of its
// own. The server sends the event; nothing is polled.
class SelectionWatch : public QObject {
    Q_OBJECT

public:
    // Watches `prefix` followed by the default screen's number (the XEmbed tray's
    // "_NET_SYSTEM_TRAY_S"). Null when the program does not run on X11, the display cannot be
    // opened again or the server lacks XFixes.
    static std::unique_ptr<SelectionWatch> create(const QByteArray& prefix,
                                                  QObject* parent = nullptr);
    ~SelectionWatch() override;

Q_SIGNALS:
    void ownerChanged();

private:
    SelectionWatch(xcb_connection_t* connection, uint8_t notifyEvent, QObject* parent);
    void readEvents();

    xcb_connection_t* m_connection;
    uint8_t m_notifyEvent;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tallyfin::ui::x11
