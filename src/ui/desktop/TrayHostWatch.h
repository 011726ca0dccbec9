// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>

#include <chrono>
#include <memory>

class QTimer;

namespace tallyfin::ui {

namespace x11 {
class SelectionWatch;
}

// Tells when a system tray may have come: the XEmbed tray's selection (_NET_SYSTEM_TRAY_S<n>)
// changing owner on X11, and on the session bus the StatusNotifierWatcher appearing or a host
// registering with it. Both are told by the server, so nothing runs while nothing changes; only
// where neither can be watched is `changed` emitted every `slowPoll`. (Qt's own platform themes
// decide once per process whether a StatusNotifier tray exists, so with them a late tray is
// found through its XEmbed selection; themes that ask each time follow the bus too.)
class TrayHostWatch : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::seconds slowPoll{30};

    explicit TrayHostWatch(QObject* parent = nullptr);
    ~TrayHostWatch() override;

Q_SIGNALS:
    void changed();

private Q_SLOTS:
    void hostRegistered();

private:
    std::unique_ptr<x11::SelectionWatch> m_selection;
    QTimer* m_poll = nullptr;
};

} // namespace tallyfin::ui
