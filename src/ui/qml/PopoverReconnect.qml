// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick
import QtQuick.Layouts
import Tallyfin

// The popover's switch for connecting again to a machine lost without the user asking, when it is
// heard again within a few minutes. The manager keeps the choice.
RowLayout {
    id: row

    required property FTMSManager manager
    property bool dark: false
    property color label: "gray"
    property color accent: "blue"

    objectName: "reconnectRow"
    Layout.fillWidth: true

    Text {
        textFormat: Text.PlainText
        //% "Reconnect automatically"
        //: Switch in the machine information popover: connect again to a machine lost unexpectedly
        text: qsTrId("machineInfo.autoReconnect")
        font.pixelSize: 13
        color: row.label
    }
    Item { Layout.fillWidth: true }
    ToggleSwitch {
        objectName: "reconnectToggle"
        checked: row.manager.autoReconnect
        dark: row.dark
        accent: row.accent
        onToggled: on => row.manager.autoReconnect = on
    }
}
