// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick

// A paging chevron: 28 points wide and as tall as the device row, the whole frame clickable.
Item {
    id: button

    property string symbol: "chevron.right"
    property color color: "black"
    signal clicked()

    implicitWidth: 28
    implicitHeight: 22

    SymbolIcon {
        anchors.centerIn: parent
        name: button.symbol
        size: 13
        weight: Font.DemiBold
        color: button.color
        opacity: 0.5
    }
    MouseArea {
        anchors.fill: parent
        onClicked: button.clicked()
    }
}
