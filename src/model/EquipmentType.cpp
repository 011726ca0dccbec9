// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "EquipmentType.h"

#include <array>
#include <utility>

namespace tallyfin {

namespace {

constexpr std::array<std::pair<EquipmentType, QStringView>, 5> caseNames{{
    {EquipmentType::rower, u"rower"},
    {EquipmentType::bike, u"bike"},
    {EquipmentType::crossTrainer, u"crossTrainer"},
    {EquipmentType::treadmill, u"treadmill"},
    {EquipmentType::unknown, u"unknown"},
}};

} // namespace

QString caseName(EquipmentType type) {
    for (const auto& [candidate, name] : caseNames) {
        if (candidate == type) {
            return name.toString();
        }
    }
    return QStringLiteral("unknown");
}

std::optional<EquipmentType> equipmentTypeFromCaseName(QStringView name) {
    for (const auto& [type, candidate] : caseNames) {
        if (candidate == name) {
            return type;
        }
    }
    return std::nullopt;
}

QString displayName(EquipmentType type) {
    switch (type) {
    case EquipmentType::rower:
        //: Rower equipment type
        return qtTrId("equipment.rower");
    case EquipmentType::bike:
        //: Bike equipment type
        return qtTrId("equipment.bike");
    case EquipmentType::crossTrainer:
        //: Cross trainer equipment type
        return qtTrId("equipment.crossTrainer");
    case EquipmentType::treadmill:
        //: Treadmill equipment type
        return qtTrId("equipment.treadmill");
    case EquipmentType::unknown:
        break;
    }
    //: Unknown equipment type
    return qtTrId("equipment.unknown");
}

} // namespace tallyfin
