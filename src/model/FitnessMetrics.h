// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "EquipmentType.h"
#include "UnitSystem.h"

#include <QObject>
#include <QString>

namespace tallyfin {

// The running merge of every decoded notification since the last reset. Zero means "no value
// yet" in every field. Speed is always metres per second, whatever the machine reports.
struct FitnessMetrics {
    Q_GADGET
    Q_PROPERTY(tallyfin::EquipmentType equipmentType MEMBER equipmentType)
    Q_PROPERTY(qint64 power MEMBER power)
    Q_PROPERTY(double distance MEMBER distance)
    Q_PROPERTY(double speed MEMBER speed)
    Q_PROPERTY(double totalTime MEMBER totalTime)
    Q_PROPERTY(qint64 calories MEMBER calories)
    Q_PROPERTY(qint64 heartRate MEMBER heartRate)
    Q_PROPERTY(qint64 strokeRate MEMBER strokeRate)
    Q_PROPERTY(qint64 strokeCount MEMBER strokeCount)
    Q_PROPERTY(qint64 cadence MEMBER cadence)
    Q_PROPERTY(double resistance MEMBER resistance)
    Q_PROPERTY(qint64 stepRate MEMBER stepRate)
    Q_PROPERTY(qint64 strideCount MEMBER strideCount)
    Q_PROPERTY(double incline MEMBER incline)

public:
    EquipmentType equipmentType = EquipmentType::unknown;
    qint64 power = 0;       // watts, signed at the source
    double distance = 0;    // metres
    double speed = 0;       // metres per second
    double totalTime = 0;   // seconds
    qint64 calories = 0;    // kilocalories
    qint64 heartRate = 0;   // beats per minute
    qint64 strokeRate = 0;  // strokes per minute
    qint64 strokeCount = 0; // strokes since start
    qint64 cadence = 0;     // revolutions per minute
    double resistance = 0;  // unitless, steps of 0.1
    qint64 stepRate = 0;    // steps per minute
    qint64 strideCount = 0; // strides since start
    double incline = 0;     // percent

    // "MM:SS" of the elapsed time; minutes are not limited.
    Q_INVOKABLE QString formattedTime() const;
    // The speed, or the pace, in speedUnit(): "2:36 /500m", "8:00 /mi", "16.0 mph", "25.0 km/h".
    Q_INVOKABLE QString
    formattedSpeed(tallyfin::UnitSystem units = tallyfin::UnitSystem::metric) const;
};

// Texts of the metric tiles, each computed from the current record.
// A whole count ("--" below 1, which means no value yet).
QString countText(qint64 value);
// The distance in kilometres from 1000 m on, in miles from a tenth of a mile on, and below that in
// whole metres or feet.
enum class DistanceUnit { metres, kilometres, feet, miles };
DistanceUnit distanceUnit(const FitnessMetrics& metrics, UnitSystem units = UnitSystem::metric);
QString distanceText(const FitnessMetrics& metrics, UnitSystem units = UnitSystem::metric);
// Pace per 500 m for a rower, whatever the units. Otherwise, in metric units, speed in km/h
// (m/s for an unknown kind); in imperial units, a treadmill's pace per mile and the speed in mph
// for every other kind.
enum class SpeedUnit {
    perFiveHundredMetres,
    perMile,
    milesPerHour,
    kilometresPerHour,
    metresPerSecond
};
SpeedUnit speedUnit(const FitnessMetrics& metrics, UnitSystem units = UnitSystem::metric);
// formattedSpeed() without its unit, but for an unknown kind's m/s; "--" while there is no speed.
QString speedText(const FitnessMetrics& metrics, UnitSystem units = UnitSystem::metric);
QString rateText(const FitnessMetrics& metrics);
QString rateTooltip(const FitnessMetrics& metrics);

} // namespace tallyfin

Q_DECLARE_METATYPE(tallyfin::FitnessMetrics)
