// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick
import QtQuick.Window

// Hover help: a small label in a window of its own (the panel is too short to hold it), shown
// above the pointer after the pointer has rested for a moment.
//
// Only for a real hover: the pointer must have moved over the owner. An owner that appears under
// the last position the panel saw of the pointer (a tile laid out where the chooser's row was
// clicked, the window grown or moved since) is hovered by that stale position alone, and gets none.
Item {
    id: root

    // The owner's hover.
    property HoverHandler hover: null
    property string text

    readonly property bool shown: hover !== null && hover.hovered
    // Where the hover began, in the scene, and whether the pointer has left that spot since.
    property point entry
    property bool moved: false

    onShownChanged: {
        moved = false
        if (shown)
            entry = hover.point.scenePosition
        else
            tip.visible = false
    }
    Connections {
        target: root.hover
        function onPointChanged() {
            const p = root.hover.point.scenePosition
            if (root.shown && (p.x !== root.entry.x || p.y !== root.entry.y))
                root.moved = true
        }
    }

    Timer {
        id: delay
        interval: 800
        running: root.shown && root.moved && root.text.length > 0
        onTriggered: tip.showAtPointer()
    }

    Window {
        id: tip
        objectName: "toolTip"
        flags: Qt.ToolTip | Qt.FramelessWindowHint | Qt.WindowDoesNotAcceptFocus
        color: "#f6f6f6"
        width: label.implicitWidth + 12
        height: label.implicitHeight + 6

        // Centred above the pointer as it is now, on its screen.
        function showAtPointer() {
            const p = root.hover.target.mapToGlobal(root.hover.point.position)
            x = Math.max(Screen.virtualX, Math.round(p.x - width / 2))
            y = Math.round(p.y - height - 16)
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
