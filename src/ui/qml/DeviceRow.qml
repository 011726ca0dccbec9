// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick
import Tallyfin

// One machine of the device list: its symbol, name, a middle dot, its kind and its signal bars.
// Hovering highlights it under the pointing hand; a click asks to connect.
Item {
    id: row

    // The device list's entry: id, name, rssi (undefined without an advertisement).
    property var device: null
    property color primary: "white"
    property bool hovering: hover.containsMouse

    signal activated(string id)

    readonly property string deviceName: device && device.name ? device.name : ""
    // The widest the row may be; a longer name is cut with an ellipsis, the rest stays whole.
    property real maximumWidth: Infinity
    // Clear of the row's ends on either side.
    readonly property real sideMargin: 10

    implicitWidth: content.implicitWidth + 2 * sideMargin
    implicitHeight: 22
    width: implicitWidth
    height: 22

    Rectangle {
        objectName: "hoverHighlight"
        anchors.fill: parent
        radius: 6
        color: row.primary
        opacity: row.hovering ? 0.06 : 0
        Behavior on opacity { NumberAnimation { duration: 150; easing.type: Easing.OutQuad } }
    }

    Row {
        id: content
        // Centred when the row is given more than it needs (as wide as the widest machine's).
        x: Math.max(row.sideMargin, Math.round((row.width - implicitWidth) / 2))
        anchors.verticalCenter: parent.verticalCenter
        spacing: 10

        SymbolIcon {
            id: deviceIcon
            objectName: "deviceIcon"
            width: 20
            anchors.verticalCenter: parent.verticalCenter
            anchors.verticalCenterOffset: -1.5
            name: Presentation.deviceIconName(row.deviceName)
            size: 14
            weight: Font.Light
            color: row.primary
            opacity: 0.6
        }
        Text {
            textFormat: Text.PlainText
            objectName: "deviceName"
            anchors.verticalCenter: parent.verticalCenter
            width: Math.max(0, Math.min(implicitWidth, row.maximumWidth - 2 * row.sideMargin - 4 * content.spacing
                                        - deviceIcon.width - middleDot.implicitWidth
                                        - deviceType.implicitWidth - signalBars.width))
            text: row.deviceName
            font.family: "Courier New"
            font.pixelSize: 14
            color: row.primary
            maximumLineCount: 1
            elide: Text.ElideRight
        }
        Text {
            id: middleDot
            textFormat: Text.PlainText
            anchors.verticalCenter: parent.verticalCenter
            text: "·"
            font.family: "Courier New"
            font.pixelSize: 14
            color: row.primary
            opacity: 0.3
        }
        Text {
            id: deviceType
            textFormat: Text.PlainText
            objectName: "deviceType"
            anchors.verticalCenter: parent.verticalCenter
            text: Presentation.deviceTypeName(row.deviceName)
            font.family: "Courier New"
            font.pixelSize: 12
            color: row.primary
            opacity: 0.5
            maximumLineCount: 1
        }
        PixelSignalCompact {
            id: signalBars
            objectName: "signalBars"
            anchors.verticalCenter: parent.verticalCenter
            anchors.verticalCenterOffset: -2
            strength: Presentation.signalLevel(row.device ? row.device.rssi : undefined)
            barCount: 4
            barWidth: 3
            spacing: 2
            maxHeight: 14
            color: row.primary
        }
    }

    MouseArea {
        id: hover
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: {
            if (row.device && row.device.id)
                row.activated(row.device.id)
        }
    }

    // The width the row takes for a machine named `name`, laid out at once.
    function widthFor(name) {
        device = { name: name }
        content.forceLayout()
        return implicitWidth
    }

    // Slides in from `side` (+1 trailing, -1 leading) while fading in.
    function enter(side) {
        x = side * width
        opacity = 0
        slide.to = 0
        fade.to = 1
        arrive.start()
    }

    // Slides out towards `side` while fading out, then goes away.
    function leave(side) {
        enabled = false
        slide.to = side * width
        fade.to = 0
        arrive.stop()
        depart.start()
    }

    ParallelAnimation {
        id: arrive
        NumberAnimation { id: slide; target: row; property: "x"; duration: 350; easing.type: Easing.OutCubic }
        NumberAnimation { id: fade; target: row; property: "opacity"; duration: 350; easing.type: Easing.OutCubic }
    }
    ParallelAnimation {
        id: depart
        NumberAnimation { target: row; property: "x"; to: slide.to; duration: 350; easing.type: Easing.OutCubic }
        NumberAnimation { target: row; property: "opacity"; to: 0; duration: 350; easing.type: Easing.OutCubic }
        onFinished: row.destroy()
    }
}
