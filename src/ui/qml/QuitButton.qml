// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick

// Ends the program.
Item {
    id: button

    property color color: "black"

    implicitWidth: icon.implicitWidth
    implicitHeight: icon.implicitHeight

    SymbolIcon {
        id: icon
        anchors.centerIn: parent
        name: "xmark.circle"
        size: 16
        weight: Font.Light
        color: button.color
        opacity: 0.55
    }
    MouseArea {
        anchors.fill: parent
        onClicked: Qt.quit()
    }
}
