// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QMutex>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <memory>

namespace tallyfin::analytics {

// The client's own preferences suite: an INI file named after the suite in the user's
// configuration directory, readable by this user only. Safe to use from any thread.
class CustomDefaults {
public:
    // "com.telemetrydeck." followed by the last 12 characters of the app id's hash.
    static QString suiteName(const QString& appID);
    // The suite of the installed manager; none without one.
    static std::shared_ptr<CustomDefaults> ofInstalledManager();

    explicit CustomDefaults(const QString& suiteName);
    ~CustomDefaults();

    QString fileName() const;
    QVariant value(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);
    void remove(const QString& key);
    void sync();

private:
    mutable QMutex m_mutex;
    std::unique_ptr<QSettings> m_settings;
};

} // namespace tallyfin::analytics
