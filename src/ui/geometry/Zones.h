// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QColor>

namespace tallyfin::ui {

// Training zones. 0 means no zone: no reference set, no value, or (heart rate) below the first.

// The seven power zones of the functional threshold power, by the percentage rounded to whole
// points: up to 55, 56–75, 76–90, 91–105, 106–120, 121–150, above 150.
int powerZone(int watts, int ftp);
// The five heart-rate zones of the maximum: 50–60 %, 60–70, 70–80, 80–90, 90 and more (each
// zone takes its lower bound).
int heartRateZone(int bpm, int maxHeartRate);

// What a value in `zone` is drawn in; invalid for zone 0. Heart-rate zones share the power zones'
// first four colours and take the red of zone 6 for zone 5.
QColor powerZoneColor(int zone);
QColor heartRateZoneColor(int zone);

} // namespace tallyfin::ui
