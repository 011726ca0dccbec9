// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QLocale>
#include <QMetaType>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace tallyfin {

// The units distances and speeds are shown in, in the order the units picker offers. Only what a
// person reads changes with it; records, logs and JSON stay in metres and metres per second.
enum class UnitSystem { metric, imperial };

inline constexpr std::array<UnitSystem, 2> allUnitSystems{UnitSystem::metric, UnitSystem::imperial};

inline constexpr double metresPerMile = 1609.344;
inline constexpr double metresPerFoot = 0.3048;

// The stored raw value: "metric" or "imperial".
QString unitSystemName(UnitSystem units);
// Exactly one of the two raw values (letter case counts), otherwise nullopt.
std::optional<UnitSystem> unitSystemFromName(QStringView name);
// What people using `locale` expect: imperial for the US and UK measurement systems.
UnitSystem unitSystemOf(const QLocale& locale);

} // namespace tallyfin

Q_DECLARE_METATYPE(tallyfin::UnitSystem)
