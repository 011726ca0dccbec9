// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "analytics/TelemetryManagerConfiguration.h"

#include <QSet>
#include <QStringList>

namespace tallyfin::analytics::composition {

// Names the service keeps for itself, lower-cased.
const QSet<QString>& reservedKeys();

// Every key but those starting with "TelemetryDeck." gets the prefix in front; when two keys
// become equal, the later one in map order wins.
Parameters prefixedParameters(const Parameters& parameters, const std::optional<QString>& prefix);

// The warning for a reserved signal name, or an empty text.
QString signalNameWarning(const QString& name);
// The warning for a reserved parameter key, or an empty text.
QString parameterKeyWarning(const QString& key);

// `base`, then every entry of `overrides` written over it.
Parameters merged(Parameters base, const Parameters& overrides);

} // namespace tallyfin::analytics::composition
