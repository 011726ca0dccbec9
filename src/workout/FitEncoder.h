// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "workout/Workout.h"

#include <QByteArray>

namespace tallyfin::fit {

// A FIT activity file of a workout, written from the published FIT protocol and profile: file_id,
// device_info (this program and the machine), timer events (a stop and a start around every
// pause), one record a second, one lap, the session and the activity, with the header's and the
// file's CRC. Sport and sub-sport follow the machine's kind.
QByteArray encode(const Workout& workout);

// The FIT CRC-16 over `bytes`, continuing from `crc`.
quint16 crc16(QByteArrayView bytes, quint16 crc = 0);

// Seconds since the FIT epoch, 1989-12-31T00:00:00Z.
quint32 timestamp(const QDateTime& time);

// Sport and sub-sport numbers of the FIT profile for a kind.
struct Sport {
    quint8 sport;
    quint8 subSport;
};
Sport sportOf(EquipmentType kind);

} // namespace tallyfin::fit
