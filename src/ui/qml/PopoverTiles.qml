// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Layouts
import Tallyfin

// The machine's tiles, each with a switch: hidden tiles leave the strip, which narrows. The last
// tile that shows cannot be switched off.
ColumnLayout {
    id: root

    required property FTMSManager manager
    required property OverlaySizeManager sizes
    property bool dark: false

    objectName: "tilesSection"
    spacing: 6

    SchemeColors {
        id: colors
        dark: root.dark
    }

    MetricTileModel {
        id: allTiles
        metrics: root.manager.metrics
        features: root.manager.machineFeatures
        unitSystem: root.sizes.unitSystem
        heartRateStrap: root.manager.heartRateStraps.hasDelivered
        preferences: root.sizes.panel
        includeHidden: true
    }

    Text {
        textFormat: Text.PlainText
        text: qsTrId("machineInfo.tiles")
        font.pixelSize: 11
        color: colors.secondary
    }

    GridLayout {
        Layout.fillWidth: true
        columns: 2
        columnSpacing: 14
        rowSpacing: 4

        Repeater {
            model: allTiles
            RowLayout {
                id: row
                required property string key
                required property string name
                required property bool shown
                objectName: "tileRow_" + key
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                Text {
                    textFormat: Text.PlainText
                    text: row.name
                    font.pixelSize: 12
                    color: colors.primary
                    elide: Text.ElideRight
                    Layout.fillWidth: true
                }
                ToggleSwitch {
                    objectName: "tileSwitch"
                    checked: row.shown
                    dark: root.dark
                    accent: colors.blue
                    onToggled: on => allTiles.setTileShown(row.key, on)
                }
            }
        }
    }
}
