// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#include "workout/Workout.h"

namespace tallyfin {

qint32 Workout::elapsedSeconds() const {
    return samples.isEmpty() ? 0 : samples.last().time - samples.first().time;
}

qint32 Workout::movingSeconds() const {
    qint32 seconds = 0;
    for (qsizetype i = 1; i < samples.size(); ++i) {
        if (!isPause(samples[i - 1], samples[i])) {
            seconds += samples[i].time - samples[i - 1].time;
        }
    }
    return seconds;
}

} // namespace tallyfin
