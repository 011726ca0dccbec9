// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick
import QtQuick.Layouts

// A thin horizontal line across its column.
Rectangle {
    Layout.fillWidth: true
    implicitHeight: 1
}
