// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick
import QtQuick.Window

// Hover help: a small label in a window of its own (the panel is too short to hold it), shown
// above the pointer after the pointer has rested for a moment.
Item {
    id: root

    property bool shown: false
    property string text

    Timer {
        id: delay
        interval: 800
        running: root.shown && root.text.length > 0
        onTriggered: tip.showAtPointer()
    }
    onShownChanged: if (!shown) tip.visible = false

    Window {
        id: tip
        flags: Qt.ToolTip | Qt.FramelessWindowHint | Qt.WindowDoesNotAcceptFocus
        color: "#f6f6f6"
        width: label.implicitWidth + 12
        height: label.implicitHeight + 6

        function showAtPointer() {
            const p = root.mapToGlobal(root.width / 2, 0)
            const screenLeft = Screen.virtualX
            x = Math.max(screenLeft, Math.round(p.x - width / 2))
            y = Math.round(p.y - height - 8)
            visible = true
        }

        Rectangle {
            anchors.fill: parent
            color: "transparent"
            border.color: Qt.rgba(0, 0, 0, 0.2)
        }
        Text {
            textFormat: Text.PlainText
            id: label
            anchors.centerIn: parent
            text: root.text
            font.pixelSize: 11
            color: "#222222"
        }
    }
}
