// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#include "workout/WorkoutLogging.h"

Q_LOGGING_CATEGORY(lcWorkout, "tallyfin.workout", QtInfoMsg)
