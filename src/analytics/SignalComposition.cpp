// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/SignalComposition.h"

namespace tallyfin::analytics::composition {

using namespace Qt::StringLiterals;

namespace {
constexpr auto reservedPrefix = "TelemetryDeck."_L1;
constexpr auto reservedPrefixLower = "telemetrydeck."_L1;
} // namespace

const QSet<QString>& reservedKeys() {
    static const QSet<QString> keys = [] {
        const QStringList names{
            u"type"_s,
            u"clientUser"_s,
            u"appID"_s,
            u"sessionID"_s,
            u"floatValue"_s,
            u"newSessionBegan"_s,
            u"platform"_s,
            u"systemVersion"_s,
            u"majorSystemVersion"_s,
            u"majorMinorSystemVersion"_s,
            u"appVersion"_s,
            u"buildNumber"_s,
            u"isSimulator"_s,
            u"isDebug"_s,
            u"isTestFlight"_s,
            u"isAppStore"_s,
            u"modelName"_s,
            u"architecture"_s,
            u"operatingSystem"_s,
            u"targetEnvironment"_s,
            u"locale"_s,
            u"region"_s,
            u"appLanguage"_s,
            u"preferredLanguage"_s,
            u"telemetryClientVersion"_s,
        };
        QSet<QString> lowered;
        for (const QString& name : names) {
            lowered.insert(name.toLower());
        }
        return lowered;
    }();
    return keys;
}

Parameters prefixedParameters(const Parameters& parameters, const std::optional<QString>& prefix) {
    const QString keyPrefix = prefix.value_or(QString());
    if (keyPrefix.isEmpty()) {
        return parameters;
    }
    Parameters result;
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
        if (it.key().startsWith(reservedPrefix)) {
            result.insert(it.key(), it.value());
        } else {
            result.insert(keyPrefix + it.key(), it.value());
        }
    }
    return result;
}

QString signalNameWarning(const QString& name) {
    const QString lowered = name.toLower();
    if (lowered.startsWith(reservedPrefixLower)) {
        return u"Sending signal with reserved prefix 'TelemetryDeck.' will cause unexpected "
               u"behavior. Please use another prefix instead."_s;
    }
    if (reservedKeys().contains(lowered)) {
        return u"Sending signal with reserved name '" % name %
               u"' will cause unexpected behavior. Please use another name instead.";
    }
    return {};
}

QString parameterKeyWarning(const QString& key) {
    const QString lowered = key.toLower();
    if (lowered.startsWith(reservedPrefixLower)) {
        return u"Sending parameter with reserved key prefix 'TelemetryDeck.' will cause "
               u"unexpected behavior. Please use another prefix instead."_s;
    }
    if (reservedKeys().contains(lowered)) {
        return u"Sending parameter with reserved key '" % key %
               u"' will cause unexpected behavior. Please use another key instead.";
    }
    return {};
}

Parameters merged(Parameters base, const Parameters& overrides) {
    for (auto it = overrides.cbegin(); it != overrides.cend(); ++it) {
        base.insert(it.key(), it.value());
    }
    return base;
}

} // namespace tallyfin::analytics::composition
