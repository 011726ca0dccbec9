// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUuid>

#include <chrono>
#include <optional>

class QSettings;

namespace tallyfin {

// The machine lost without the user asking, awaited for a while so that it is connected again
// when it is heard: one machine at a time, for `window` after the loss (5 minutes), and only while
// enabled (the "autoReconnect" setting, on unless the user turned it off).
class ReconnectWatch : public QObject {
    Q_OBJECT

public:
    static constexpr char settingsKey[] = "autoReconnect";
    static constexpr std::chrono::minutes defaultWindow{5};

    explicit ReconnectWatch(QObject* parent = nullptr);

    // Where the setting is kept (not owned; it must outlive this object); read at once.
    void setSettings(QSettings* settings);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    void setWindow(std::chrono::milliseconds window) { m_giveUp.setInterval(window); }
    std::chrono::milliseconds window() const { return m_giveUp.intervalAsDuration(); }

    // Awaits the machine, when enabled; false otherwise.
    bool await(const QUuid& id, const QString& name);
    void clear();
    bool isAwaiting() const { return m_id.has_value(); }
    bool awaits(const QUuid& id) const { return m_id == id; }
    const QString& name() const { return m_name; }

Q_SIGNALS:
    void enabledChanged();
    void awaitingChanged();
    // The window ended without the machine connected again.
    void gaveUp(const QString& name);

private:
    QSettings* m_settings = nullptr;
    bool m_enabled = true;
    QTimer m_giveUp;
    std::optional<QUuid> m_id;
    QString m_name;
};

} // namespace tallyfin
