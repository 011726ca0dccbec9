// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QLoggingCategory>

namespace tallyfin::bluetooth {

// "tallyfin.bluetooth": the QtBluetooth central and its peripherals.
Q_DECLARE_LOGGING_CATEGORY(lcBluetoothQt)

} // namespace tallyfin::bluetooth
