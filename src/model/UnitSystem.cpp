// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "model/UnitSystem.h"

namespace tallyfin {

QString unitSystemName(UnitSystem units) {
    return units == UnitSystem::imperial ? QStringLiteral("imperial") : QStringLiteral("metric");
}

std::optional<UnitSystem> unitSystemFromName(QStringView name) {
    for (const UnitSystem units : allUnitSystems) {
        if (name == unitSystemName(units)) {
            return units;
        }
    }
    return std::nullopt;
}

UnitSystem unitSystemOf(const QLocale& locale) {
    return locale.measurementSystem() == QLocale::MetricSystem ? UnitSystem::metric
                                                               : UnitSystem::imperial;
}

} // namespace tallyfin
