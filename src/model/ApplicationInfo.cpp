// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ApplicationInfo.h"

#include "tallyfin/BuildInfo.h"

#include <utility>

namespace tallyfin {

ApplicationInfo::ApplicationInfo(QVariantMap values)
    : m_values(std::move(values)) {}

ApplicationInfo ApplicationInfo::fromBuild() {
    QVariantMap values{
        {QLatin1String(shortVersionKey), QString::fromUtf8(buildinfo::shortVersion)},
        {QLatin1String(buildVersionKey), QString::fromUtf8(buildinfo::buildVersion)},
    };
    if (const auto appId = QString::fromUtf8(buildinfo::analyticsAppId); !appId.isEmpty()) {
        values.insert(QLatin1String(analyticsAppIdKey), appId);
    }
    if (const auto feed = QString::fromUtf8(buildinfo::updateFeedUrl); !feed.isEmpty()) {
        values.insert(QLatin1String(updateFeedKey), feed);
    }
    return ApplicationInfo(std::move(values));
}

bool ApplicationInfo::contains(const char* key) const {
    return m_values.contains(QLatin1String(key));
}

std::optional<QString> ApplicationInfo::text(const char* key) const {
    const QVariant value = m_values.value(QLatin1String(key));
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return value.toString();
}

QString ApplicationInfo::textOrUnknown(const char* key) const {
    return text(key).value_or(QStringLiteral("?"));
}

} // namespace tallyfin
