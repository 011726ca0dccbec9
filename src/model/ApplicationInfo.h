// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

namespace tallyfin {

// The application information of the running program: version values and the optional analytics
// identifier and update feed, as the build generated them (tests hand in their own).
class ApplicationInfo {
public:
    static constexpr char shortVersionKey[] = "CFBundleShortVersionString";
    static constexpr char buildVersionKey[] = "CFBundleVersion";
    static constexpr char analyticsAppIdKey[] = "TelemetryDeckAppID";
    static constexpr char updateFeedKey[] = "SUFeedURL";

    ApplicationInfo() = default;
    explicit ApplicationInfo(QVariantMap values);

    // What this build carries; the analytics id and the feed are absent when the build has none.
    static ApplicationInfo fromBuild();

    const QVariantMap& values() const { return m_values; }
    bool contains(const char* key) const;
    // The value under `key` when it is present and a text.
    std::optional<QString> text(const char* key) const;
    // The value under `key` when it is a text, otherwise "?".
    QString textOrUnknown(const char* key) const;

private:
    QVariantMap m_values;
};

} // namespace tallyfin
