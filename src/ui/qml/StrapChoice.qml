// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick
import QtQuick.Layouts
import Tallyfin

// One choice of the heart-rate source in the machine information popover: a check mark when it is
// the chosen one, its name and, for a strap, its signal bars. Hovering highlights it; a click
// chooses it.
Item {
    id: choice

    property string label
    property bool isChosen: false
    // The strap's latest signal strength; undefined for the machine or a strap not heard.
    property var signalRssi
    property bool showsSignal: false
    property color primary: "black"
    property color accent: "blue"

    signal activated()

    Layout.fillWidth: true
    implicitWidth: row.implicitWidth + 12
    implicitHeight: 22

    Rectangle {
        anchors.fill: parent
        radius: 5
        color: choice.primary
        opacity: hover.containsMouse ? 0.07 : 0
    }

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.leftMargin: 6
        anchors.rightMargin: 6
        spacing: 6
        SymbolIcon {
            Layout.preferredWidth: 14
            name: "checkmark"
            size: 13
            color: choice.accent
            opacity: choice.isChosen ? 1 : 0
        }
        Text {
            textFormat: Text.PlainText
            objectName: "choiceName"
            Layout.fillWidth: true
            text: choice.label
            font.pixelSize: 12
            color: choice.primary
            elide: Text.ElideRight
        }
        PixelSignalCompact {
            objectName: "signalBars"
            visible: choice.showsSignal
            strength: Presentation.signalLevel(choice.signalRssi)
            barCount: 4
            barWidth: 3
            spacing: 2
            maxHeight: 12
            color: choice.primary
        }
    }

    MouseArea {
        id: hover
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: choice.activated()
    }
}
