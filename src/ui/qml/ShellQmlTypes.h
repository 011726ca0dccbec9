// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

// QML names of the objects the application builds in main and hands to the views: the machine
// manager with its device list and strap manager, their values, the application menu and the
// workouts with their recorder.

#include "connection/DeviceListModel.h"
#include "connection/FTMSManager.h"
#include "connection/HeartRateStrapManager.h"
#include "model/FitnessMachineFeature.h"
#include "model/FitnessMetrics.h"
#include "ui/shell/AppMenu.h"
#include "ui/shell/Workouts.h"
#include "workout/WorkoutRecorder.h"
#include "workout/WorkoutSummary.h"

#include <QtQml/qqmlregistration.h>

namespace tallyfin::ui::qmltypes {

struct FTMSManagerForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::FTMSManager)
    QML_NAMED_ELEMENT(FTMSManager)
    QML_UNCREATABLE("Built by the application")
};

struct DeviceListModelForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::DeviceListModel)
    QML_NAMED_ELEMENT(DeviceListModel)
    QML_UNCREATABLE("Owned by the machine manager")
};

struct HeartRateStrapManagerForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::HeartRateStrapManager)
    QML_NAMED_ELEMENT(HeartRateStrapManager)
    QML_UNCREATABLE("Owned by the machine manager")
};

struct HeartRateStrapListModelForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::HeartRateStrapListModel)
    QML_NAMED_ELEMENT(HeartRateStrapListModel)
    QML_UNCREATABLE("Owned by the strap manager")
};

struct FitnessMetricsForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::FitnessMetrics)
    QML_VALUE_TYPE(fitnessMetrics)
};

struct FitnessMachineFeatureForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::FitnessMachineFeature)
    QML_VALUE_TYPE(fitnessMachineFeature)
};

struct AppMenuForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::AppMenu)
    QML_NAMED_ELEMENT(AppMenu)
    QML_UNCREATABLE("Built by the application")
};

struct WorkoutsForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::Workouts)
    QML_NAMED_ELEMENT(Workouts)
    QML_UNCREATABLE("Built by the application")
};

struct WorkoutRecorderForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::WorkoutRecorder)
    QML_NAMED_ELEMENT(WorkoutRecorder)
    QML_UNCREATABLE("Owned by the workouts")
};

struct WorkoutSummaryForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::WorkoutSummary)
    QML_VALUE_TYPE(workoutSummary)
};

} // namespace tallyfin::ui::qmltypes
