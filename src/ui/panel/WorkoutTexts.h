// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "model/EquipmentType.h"
#include "model/UnitSystem.h"
#include "workout/WorkoutSummary.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantList>

namespace tallyfin::ui {

// One line of a workout's summary as people read it: "Power", "182 W", "240 W". A total has no
// maximum.
struct WorkoutFigure {
    QString label;
    QString average;
    QString maximum;
    bool operator==(const WorkoutFigure&) const = default;
};

// "1:02:03" from an hour on, "12:34" below.
QString durationText(int seconds);
// The totals (duration, distance, calories), then the average and maximum of power, speed or pace,
// cadence or stroke or step rate and heart rate, each where the machine sent it, in the user's
// units and rounded as the FIT file keeps them.
QList<WorkoutFigure> workoutTotals(const WorkoutSummary& summary, EquipmentType kind,
                                   UnitSystem units);
QList<WorkoutFigure> workoutAverages(const WorkoutSummary& summary, EquipmentType kind,
                                     UnitSystem units);
// The end-of-workout notification's body: one figure a line, plain text.
QString workoutNoticeText(const WorkoutSummary& summary, EquipmentType kind, UnitSystem units);

// The same for the views: lists of {label, average, maximum}.
class WorkoutTexts : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // `kind` is an EquipmentType, `units` a UnitSystem, as numbers.
    Q_INVOKABLE static QVariantList totals(const tallyfin::WorkoutSummary& summary, int kind,
                                           int units);
    Q_INVOKABLE static QVariantList averages(const tallyfin::WorkoutSummary& summary, int kind,
                                             int units);
};

} // namespace tallyfin::ui
