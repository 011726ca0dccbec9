// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick

// The colours of one colour scheme.
QtObject {
    property bool dark: false

    readonly property color primary: dark ? "#ffffff" : "#000000"
    // The toolkit's secondary label colour.
    readonly property color secondary: dark ? Qt.rgba(1, 1, 1, 0.55) : Qt.rgba(0, 0, 0, 0.5)
    // The secondary fill of shapes such as the power chart's bars: translucent, so the glass and
    // what lies behind it show through, and light enough that values read over it.
    readonly property color secondaryFill: dark ? Qt.rgba(1, 1, 1, 0.22) : Qt.rgba(0, 0, 0, 0.26)
    readonly property color separator: dark ? Qt.rgba(1, 1, 1, 0.12) : Qt.rgba(0, 0, 0, 0.1)
    readonly property color green: dark ? "#32d74b" : "#28cd41"
    readonly property color blue: dark ? "#0a84ff" : "#007aff"
    readonly property color red: dark ? "#ff453a" : "#ff3b30"
}
