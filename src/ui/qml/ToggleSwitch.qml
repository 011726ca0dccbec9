// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick

// A switch: a capsule with a knob that slides to the right and turns the accent colour when on.
Item {
    id: root

    property bool checked: false
    property bool dark: false
    property color accent: "#007aff"
    signal toggled(bool checked)

    implicitWidth: 32
    implicitHeight: 18

    Rectangle {
        anchors.fill: parent
        radius: height / 2
        color: root.checked ? root.accent : (root.dark ? Qt.rgba(1, 1, 1, 0.16) : Qt.rgba(0, 0, 0, 0.1))
        border.color: root.checked ? "transparent" : Qt.rgba(0, 0, 0, 0.08)
        Behavior on color { ColorAnimation { duration: 150 } }
    }
    Rectangle {
        width: root.height - 2
        height: width
        radius: width / 2
        y: 1
        x: root.checked ? root.width - width - 1 : 1
        color: "#ffffff"
        border.color: Qt.rgba(0, 0, 0, 0.12)
        Behavior on x { NumberAnimation { duration: 150; easing.type: Easing.InOutQuad } }
    }
    MouseArea {
        anchors.fill: parent
        onClicked: root.toggled(!root.checked)
    }
}
