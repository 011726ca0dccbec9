// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "workout/Workout.h"

#include <QByteArray>

namespace tallyfin {

// A workout as a TrainingCenterDatabase v2 activity, with speed and watts in the ActivityExtension
// v2 (TPX per track point, LX per lap). Each stretch between pauses is one track.
QByteArray encodeTcx(const Workout& workout);

// A workout as CSV: a header line, then one row a second in metric units. A heart rate without a
// reading is an empty cell.
QByteArray encodeCsv(const Workout& workout);

} // namespace tallyfin
