// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "Zones.h"

#include <array>

namespace tallyfin::ui {

namespace {

// Grey, blue, green, yellow, orange, red, purple: the order most training tools use. Mid tones
// that read on the light and on the dark glass alike.
constexpr std::array<QRgb, 7> zoneColors{0xff8e8e93, 0xff2f8cff, 0xff28b34b, 0xffe0b000,
                                         0xffff8a00, 0xffff3b30, 0xffb04fe0};

} // namespace

int powerZone(int watts, int ftp) {
    if (ftp <= 0 || watts <= 0) {
        return 0;
    }
    // Percent rounded half up, in whole numbers: 100 * watts / ftp.
    const long long percent = (200LL * watts + ftp) / (2LL * ftp);
    constexpr std::array<int, 6> upperBounds{55, 75, 90, 105, 120, 150};
    int zone = 1;
    for (const int bound : upperBounds) {
        if (percent <= bound) {
            return zone;
        }
        ++zone;
    }
    return zone;
}

int heartRateZone(int bpm, int maxHeartRate) {
    if (maxHeartRate <= 0 || bpm <= 0) {
        return 0;
    }
    // The zone's lower bound in tenths of the maximum, compared without rounding.
    for (int zone = 5; zone >= 1; --zone) {
        if (10LL * bpm >= static_cast<long long>(zone + 4) * maxHeartRate) {
            return zone;
        }
    }
    return 0;
}

QColor powerZoneColor(int zone) {
    if (zone < 1 || zone > 7) {
        return {};
    }
    return QColor::fromRgba(zoneColors.at(static_cast<size_t>(zone - 1)));
}

QColor heartRateZoneColor(int zone) {
    if (zone < 1 || zone > 5) {
        return {};
    }
    return powerZoneColor(zone == 5 ? 6 : zone);
}

} // namespace tallyfin::ui
