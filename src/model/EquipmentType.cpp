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

} // namespace tallyfin
