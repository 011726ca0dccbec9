// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "WorkoutTexts.h"

#include "model/FitnessMetrics.h"

#include <QVariantMap>

#include <cmath>

namespace tallyfin::ui {

using namespace Qt::StringLiterals;

namespace {

QString distanceWithUnit(double metres, UnitSystem units) {
    FitnessMetrics m;
    m.distance = metres;
    static const char* const names[] = {"m", "km", "ft", "mi"};
    return distanceText(m, units) + u' ' + QLatin1String(names[int(distanceUnit(m, units))]);
}

// The speed, or the pace for a rower (and a treadmill in imperial units), as the tile shows it.
QString speedWithUnit(double speed, EquipmentType kind, UnitSystem units) {
    FitnessMetrics m;
    m.equipmentType = kind;
    m.speed = speed;
    return m.formattedSpeed(units);
}

QString rateUnit(EquipmentType kind) {
    return kind == EquipmentType::bike ? u"rpm"_s : u"spm"_s;
}

QString rateLabel(EquipmentType kind) {
    switch (kind) {
    case EquipmentType::rower:
        //% "Stroke rate"
        //: Workout summary line: the rower's strokes per minute
        return qtTrId("workout.strokeRate");
    case EquipmentType::crossTrainer:
    case EquipmentType::treadmill:
        //% "Step rate"
        //: Workout summary line: steps per minute
        return qtTrId("workout.stepRate");
    case EquipmentType::bike:
    case EquipmentType::unknown:
        break;
    }
    //% "Cadence"
    //: Workout summary line: the bike's revolutions per minute
    return qtTrId("workout.cadence");
}

bool paceShown(EquipmentType kind, UnitSystem units) {
    FitnessMetrics m;
    m.equipmentType = kind;
    const SpeedUnit unit = speedUnit(m, units);
    return unit == SpeedUnit::perFiveHundredMetres || unit == SpeedUnit::perMile;
}

QString whole(double value, const QString& unit) {
    return QString::number(std::llround(value)) + u' ' + unit;
}

QVariantList forViews(const QList<WorkoutFigure>& figures) {
    QVariantList list;
    for (const WorkoutFigure& figure : figures) {
        list.append(QVariantMap{{u"label"_s, figure.label},
                                {u"average"_s, figure.average},
                                {u"maximum"_s, figure.maximum}});
    }
    return list;
}

} // namespace

QString durationText(int seconds) {
    const int s = std::max(0, seconds);
    return s >= 3600 ? QString::asprintf("%d:%02d:%02d", s / 3600, s / 60 % 60, s % 60)
                     : QString::asprintf("%d:%02d", s / 60, s % 60);
}

QList<WorkoutFigure> workoutTotals(const WorkoutSummary& s, EquipmentType /*kind*/,
                                   UnitSystem units) {
    //% "Duration"
    //: Workout summary line: the time from start to end
    QList<WorkoutFigure> figures{{qtTrId("workout.duration"), durationText(s.elapsedSeconds), {}}};
    if (s.distance > 0) {
        //% "Distance"
        //: Workout summary line
        figures.append({qtTrId("workout.distance"), distanceWithUnit(s.distance, units), {}});
    }
    //% "Calories"
    //: Workout summary line
    figures.append({qtTrId("workout.calories"), QString::number(s.calories) + u" kcal"_s, {}});
    return figures;
}

QList<WorkoutFigure> workoutAverages(const WorkoutSummary& s, EquipmentType kind,
                                     UnitSystem units) {
    QList<WorkoutFigure> figures;
    if (s.hasPower) {
        //% "Power"
        //: Workout summary line: average and maximum watts
        figures.append({qtTrId("workout.power"), whole(s.averagePower, u"W"_s),
                        whole(s.maximumPower, u"W"_s)});
    }
    if (s.hasSpeed) {
        //% "Pace"
        //: Workout summary line: average and best time per 500 m or per mile
        const QString pace = qtTrId("workout.pace");
        //% "Speed"
        //: Workout summary line: average and maximum speed
        figures.append({paceShown(kind, units) ? pace : qtTrId("workout.speed"),
                        speedWithUnit(s.averageSpeed, kind, units),
                        speedWithUnit(s.maximumSpeed, kind, units)});
    }
    if (s.hasRate) {
        figures.append({rateLabel(kind), whole(s.averageRate, rateUnit(kind)),
                        whole(s.maximumRate, rateUnit(kind))});
    }
    if (s.hasHeartRate) {
        //% "Heart rate"
        //: Workout summary line: average and maximum beats per minute
        figures.append({qtTrId("workout.heartRate"), whole(s.averageHeartRate, u"bpm"_s),
                        whole(s.maximumHeartRate, u"bpm"_s)});
    }
    return figures;
}

QString workoutNoticeText(const WorkoutSummary& summary, EquipmentType kind, UnitSystem units) {
    QStringList lines;
    for (const WorkoutFigure& f : workoutTotals(summary, kind, units)) {
        lines.append(f.label + u": "_s + f.average);
    }
    for (const WorkoutFigure& f : workoutAverages(summary, kind, units)) {
        //% "%1: %2 average, %3 maximum"
        //: A line of the end-of-workout notification: the figure, its average and its maximum
        lines.append(qtTrId("workout.notice.line").arg(f.label, f.average, f.maximum));
    }
    return lines.join(u'\n');
}

QVariantList WorkoutTexts::totals(const WorkoutSummary& summary, int kind, int units) {
    return forViews(workoutTotals(summary, EquipmentType(kind), UnitSystem(units)));
}

QVariantList WorkoutTexts::averages(const WorkoutSummary& summary, int kind, int units) {
    return forViews(workoutAverages(summary, EquipmentType(kind), UnitSystem(units)));
}

} // namespace tallyfin::ui
