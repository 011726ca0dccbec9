// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "QtBluetoothLogging.h"

namespace tallyfin::bluetooth {
Q_LOGGING_CATEGORY(lcBluetoothQt, "tallyfin.bluetooth", QtInfoMsg)
} // namespace tallyfin::bluetooth
