// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

pragma ComponentBehavior: Bound

import QtQuick

// A segmented control: one segment selected among a few short labels.
Item {
    id: root

    property var labels: []
    property int currentIndex: 0
    property bool dark: false
    signal activated(int index)

    implicitWidth: 120
    implicitHeight: 22

    Rectangle {
        anchors.fill: parent
        radius: 6
        color: root.dark ? Qt.rgba(1, 1, 1, 0.1) : Qt.rgba(0, 0, 0, 0.06)
        border.color: root.dark ? Qt.rgba(1, 1, 1, 0.08) : Qt.rgba(0, 0, 0, 0.08)
    }

    Rectangle {
        id: knob
        readonly property real segmentWidth: root.width / Math.max(1, root.labels.length)
        x: root.currentIndex * segmentWidth + 2
        y: 2
        width: segmentWidth - 4
        height: root.height - 4
        radius: 5
        color: root.dark ? "#5b5b5f" : "#ffffff"
        border.color: root.dark ? Qt.rgba(1, 1, 1, 0.1) : Qt.rgba(0, 0, 0, 0.12)
        Behavior on x { NumberAnimation { duration: 150; easing.type: Easing.InOutQuad } }
    }

    Row {
        anchors.fill: parent
        Repeater {
            model: root.labels
            Item {
                required property int index
                required property string modelData
                objectName: "segment" + index
                width: root.width / root.labels.length
                height: root.height

                Text {
                    textFormat: Text.PlainText
                    anchors.centerIn: parent
                    text: parent.modelData
                    font.pixelSize: 12
                    font.weight: parent.index === root.currentIndex ? Font.DemiBold : Font.Normal
                    color: root.dark ? "#ffffff" : "#000000"
                    opacity: parent.index === root.currentIndex ? 0.9 : 0.7
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: if (parent.index !== root.currentIndex) root.activated(parent.index)
                }
            }
        }
    }
}
