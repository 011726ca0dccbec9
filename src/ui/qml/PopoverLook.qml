// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick
import QtQuick.Layouts
import Tallyfin

// How the panel looks and takes clicks: how see-through it is, locked (clicks go to the window
// below), and the references of the training zones, off until set.
ColumnLayout {
    id: root

    required property OverlaySizeManager sizes
    property bool dark: false
    readonly property PanelPreferences look: sizes.panel

    objectName: "lookSection"
    spacing: 8

    SchemeColors {
        id: colors
        dark: root.dark
    }

    SettingRow {
        objectName: "opacityRow"
        label: qsTrId("machineInfo.opacity")
        labelColor: colors.secondary
        Item {
            id: slider
            objectName: "opacitySlider"
            implicitWidth: 110
            implicitHeight: 18

            function choose(x: real) {
                const share = Math.max(0, Math.min(1, (x - knob.width / 2) / (width - knob.width)))
                root.look.chooseOpacity(Math.round((0.3 + 0.7 * share) * 20) / 20)
            }

            Rectangle {
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width
                height: 4
                radius: 2
                color: root.dark ? Qt.rgba(1, 1, 1, 0.16) : Qt.rgba(0, 0, 0, 0.1)
            }
            Rectangle {
                id: knob
                width: 16
                height: 16
                radius: 8
                y: 1
                x: (root.look.opacity - 0.3) / 0.7 * (slider.width - width)
                color: "#ffffff"
                border.color: Qt.rgba(0, 0, 0, 0.2)
            }
            MouseArea {
                anchors.fill: parent
                onPressed: mouse => slider.choose(mouse.x)
                onPositionChanged: mouse => slider.choose(mouse.x)
            }
        }
        Text {
            textFormat: Text.PlainText
            objectName: "opacityValue"
            Layout.preferredWidth: 36
            horizontalAlignment: Text.AlignRight
            text: Math.round(root.look.opacity * 100) + " %"
            font.pixelSize: 12
            color: colors.secondary
        }
    }

    SettingRow {
        objectName: "lockRow"
        label: qsTrId("menu.lockPanel")
        labelColor: colors.secondary
        ToggleSwitch {
            objectName: "lockToggle"
            checked: root.look.locked
            dark: root.dark
            accent: colors.blue
            onToggled: on => root.look.locked = on
        }
    }

    SettingRow {
        objectName: "ftpRow"
        label: qsTrId("machineInfo.ftp")
        labelColor: colors.secondary
        NumberStepper {
            objectName: "ftpStepper"
            value: root.look.ftp
            start: 200
            step: 5
            minimum: 50
            maximum: 2000
            unit: "W"
            offText: qsTrId("machineInfo.zonesOff")
            textColor: colors.primary
            buttonColor: root.dark ? Qt.rgba(1, 1, 1, 0.12) : Qt.rgba(0, 0, 0, 0.07)
            onChosen: watts => root.look.chooseFtp(watts)
        }
    }

    SettingRow {
        objectName: "maxHeartRateRow"
        label: qsTrId("machineInfo.maxHeartRate")
        labelColor: colors.secondary
        NumberStepper {
            objectName: "maxHeartRateStepper"
            value: root.look.maxHeartRate
            start: 185
            step: 1
            minimum: 100
            maximum: 250
            unit: "BPM"
            offText: qsTrId("machineInfo.zonesOff")
            textColor: colors.primary
            buttonColor: root.dark ? Qt.rgba(1, 1, 1, 0.12) : Qt.rgba(0, 0, 0, 0.07)
            onChosen: bpm => root.look.chooseMaxHeartRate(bpm)
        }
    }
}
