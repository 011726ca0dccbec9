// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QMetaType>
#include <QString>

#include <optional>

namespace tallyfin {
Q_NAMESPACE

// The kind of machine whose data characteristic was detected; `unknown` until one is.
enum class EquipmentType { rower, bike, crossTrainer, treadmill, unknown };
Q_ENUM_NS(EquipmentType)

// The case name as written in code and JSON ("crossTrainer").
QString caseName(EquipmentType type);
// Inverse of caseName; nullopt for any other text.
std::optional<EquipmentType> equipmentTypeFromCaseName(QStringView name);

// Localized name of the kind ("equipment.rower", ...).
QString displayName(EquipmentType type);

} // namespace tallyfin
