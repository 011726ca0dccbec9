// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Layouts

// A number set with − and + (held, they repeat), or off (0): − below the minimum turns it off, +
// from off starts at `start`. Works without the keyboard, which the panel never takes.
RowLayout {
    id: root

    property int value: 0
    property int start: 200
    property int step: 5
    property int minimum: 50
    property int maximum: 2000
    property string unit: ""
    property string offText: ""
    property color textColor: "black"
    property color buttonColor: "#e5e5ea"
    signal chosen(int value)

    spacing: 6

    function down() {
        if (value > 0)
            chosen(value - step < minimum ? 0 : value - step)
    }
    function up() {
        chosen(value === 0 ? start : Math.min(maximum, value + step))
    }

    Repeater {
        model: [-1, 0, 1]
        Item {
            id: cell
            required property int modelData
            implicitWidth: modelData === 0 ? 64 : 20
            implicitHeight: 20
            objectName: modelData < 0 ? "stepDown" : (modelData > 0 ? "stepUp" : "stepperCell")

            Rectangle {
                visible: cell.modelData !== 0
                anchors.fill: parent
                radius: 5
                color: root.buttonColor
            }
            Text {
                textFormat: Text.PlainText
                objectName: cell.modelData === 0 ? "stepperValue" : ""
                anchors.centerIn: parent
                text: cell.modelData < 0 ? "−" : cell.modelData > 0 ? "+"
                      : (root.value > 0 ? root.value + " " + root.unit : root.offText)
                font.pixelSize: 12
                color: root.textColor
            }
            MouseArea {
                enabled: cell.modelData !== 0
                anchors.fill: parent
                onClicked: cell.modelData < 0 ? root.down() : root.up()
                onPressAndHold: repeat.start()
                onReleased: repeat.stop()
                onCanceled: repeat.stop()
            }
            Timer {
                id: repeat
                interval: 80
                repeat: true
                onTriggered: cell.modelData < 0 ? root.down() : root.up()
            }
        }
    }
}
