// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick
import Tallyfin

// One metric tile: symbol, value and unit on a common baseline, centred in its share of the
// strip, with the tile's meaning as hover help.
Item {
    id: tile

    required property string icon
    required property string value
    required property string unit
    required property string tooltip
    // The value's training zone (0: none) and its colour.
    required property int zone
    required property color zoneColor
    property int sizeIndex: 1
    property bool animate: true
    property color primary: "black"
    // No hover help while the panel is locked.
    property bool hoverable: true
    signal menuRequested()
    // A halo of the opposite colour keeps the tile readable over the power chart.
    readonly property color glow: Qt.rgba(1 - primary.r, 1 - primary.g, 1 - primary.b, 0.45)

    readonly property metricsDimensions dims: Dimensions.metrics(sizeIndex)

    implicitWidth: content.width
    implicitHeight: valueText.height

    Item {
        id: content
        anchors.centerIn: parent
        width: iconItem.width + tile.dims.tileSpacing + valueText.width
               + (tile.unit.length > 0 ? tile.dims.tileSpacing + unitText.width : 0)
        height: valueText.height

        SymbolIcon {
            id: iconItem
            objectName: "tileIcon"
            x: 0
            // The value sits 1 point below the common baseline; the symbol does not.
            anchors.baseline: valueText.baseline
            anchors.baselineOffset: -1
            name: tile.icon
            size: tile.dims.tileIconSize
            weight: Font.Light
            color: tile.primary
            // Under the item's opacity: the halo at its full strength.
            glowColor: Qt.rgba(tile.glow.r, tile.glow.g, tile.glow.b, 0.45 / 0.85)
            opacity: 0.85
        }
        RollingText {
            id: valueText
            objectName: "tileValue"
            x: iconItem.width + tile.dims.tileSpacing
            y: 1
            text: tile.value
            animate: tile.animate
            fontSize: tile.dims.valueFontSize
            color: tile.zone > 0 ? tile.zoneColor : tile.primary
            glowColor: tile.glow
        }
        GlowText {
            id: unitText
            objectName: "tileUnit"
            visible: tile.unit.length > 0
            x: valueText.x + valueText.width + tile.dims.tileSpacing
            anchors.baseline: valueText.baseline
            text: tile.unit
            font.family: "Courier New"
            font.pixelSize: tile.dims.unitFontSize
            // Smaller than the value, and in its colour: a greyer unit vanishes over the chart.
            color: tile.primary
            glowColor: tile.glow
        }
    }

    // The zone's number, small, at the value's top right.
    Text {
        textFormat: Text.PlainText
        objectName: "tileZone"
        visible: tile.zone > 0
        anchors.left: content.right
        anchors.leftMargin: 2
        anchors.top: content.top
        anchors.topMargin: -2
        text: "Z" + tile.zone
        font.pixelSize: tile.dims.unitFontSize - 2
        font.bold: true
        color: tile.zoneColor
    }

    HoverHandler {
        id: tileHover
        enabled: tile.hoverable
    }
    // Right button only: the left one still drags the panel by its background.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.RightButton
        onPressed: tile.menuRequested()
    }
    ToolTipLabel {
        hover: tileHover
        text: tile.tooltip
    }
}
