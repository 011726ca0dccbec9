// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick
import Tallyfin

// The popover's switch for connecting again to a machine lost without the user asking, when it is
// heard again within a few minutes. The manager keeps the choice.
SettingRow {
    id: row

    required property FTMSManager manager
    property bool dark: false
    property color accent: "blue"

    objectName: "reconnectRow"
    //% "Reconnect automatically"
    //: Switch in the machine information popover: connect again to a machine lost unexpectedly
    label: qsTrId("machineInfo.autoReconnect")

    ToggleSwitch {
        objectName: "reconnectToggle"
        checked: row.manager.autoReconnect
        dark: row.dark
        accent: row.accent
        onToggled: on => row.manager.autoReconnect = on
    }
}
