// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick
import QtQuick.Layouts
import Tallyfin

// The connected strip: information button, divider, the tiles the machine's features call for
// and the close button, on glass, over the power history when the machine measures power. Every
// dimension follows the overlay size.
Item {
    id: root

    required property FTMSManager manager
    required property OverlaySizeManager sizes
    required property Workouts workouts
    required property Appearance appearance
    property bool dark: false

    property bool showMachineInfo: false
    // How much of a tile shows while its value is stale.
    readonly property real staleOpacity: 0.4
    readonly property metricsDimensions dims: Dimensions.metrics(sizes.currentSize)
    readonly property bool powerMeasured: manager.machineFeatures.powerMeasurementSupported
    // Connected, but no values yet: the strip says whom it connects to rather than showing an
    // empty pill or a row of dashes.
    readonly property bool awaitingValues: manager.isConnected && !Presentation.hasValues(manager.metrics)
    readonly property alias tiles: tileModel
    readonly property alias infoButton: infoButton
    readonly property Item strip: strip
    readonly property QtObject popover: popoverLoader.item
    // What the panel's window is cut to.
    readonly property Item outline: stripGlass
    readonly property PanelPreferences look: sizes.panel

    // A right click on the tile in `row`.
    signal tileMenuRequested(int row)

    SchemeColors {
        id: colors
        dark: root.dark
    }

    MetricTileModel {
        id: tileModel
        metrics: root.manager.metrics
        features: root.manager.machineFeatures
        unitSystem: root.sizes.unitSystem
        heartRateStrap: root.manager.heartRateStraps.hasDelivered
        preferences: root.look
        // Too narrow a strip takes smaller fonts, then drops tiles: values never overlap.
        stripWidth: strip.width
        size: root.sizes.currentSize
    }

    Item {
        id: strip
        objectName: "metricsStrip"
        width: root.width
        height: stack.implicitHeight + 2 * root.dims.verticalPadding
        anchors.centerIn: parent

        Glass {
            id: stripGlass
            anchors.fill: parent
            dark: root.dark
            translucent: root.appearance.translucent
            cornerRadius: root.dims.cornerRadius
            amplitude: 0
            // See-through: the glass and the chart fade, the values keep their full contrast.
            // Without a compositor nothing shows through: the panel stays opaque.
            opacity: root.appearance.translucent ? root.look.opacity : 1
        }

        PowerSparklineView {
            objectName: "powerSparkline"
            visible: root.powerMeasured
            anchors.fill: parent
            // qmllint disable type
            // (Qt 6.4's qmllint knows no list of qint64; Presentation converts it.)
            dataPoints: root.powerMeasured ? Presentation.powerSamples(root.manager.powerHistory) : []
            // qmllint enable type
            maxBarCount: 120
            barSpacing: 1
            color: colors.secondaryFill
            clipRadius: root.dims.cornerRadius
            ftp: root.look.ftp
            opacity: stripGlass.opacity
        }

        RowLayout {
            id: stack
            objectName: "metricsStack"
            // Without tiles the fixed elements gather in the middle.
            width: tileModel.count > 0 || root.awaitingValues ? strip.width - 2 * root.dims.horizontalPadding
                                                              : implicitWidth
            anchors.centerIn: parent
            spacing: root.dims.spacing

            Item {
                id: infoButton
                objectName: "infoButton"
                Layout.alignment: Qt.AlignVCenter
                implicitWidth: infoIcon.implicitWidth + root.dims.infoTrailingPadding
                implicitHeight: infoIcon.implicitHeight

                SymbolIcon {
                    id: infoIcon
                    anchors.left: parent.left
                    anchors.verticalCenter: parent.verticalCenter
                    name: "info.circle"
                    size: root.dims.buttonIconSize
                    color: colors.primary
                    opacity: 0.65
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: root.showMachineInfo = !root.showMachineInfo
                }
            }

            Rectangle {
                objectName: "divider"
                Layout.alignment: Qt.AlignVCenter
                implicitWidth: 1
                implicitHeight: root.dims.dividerHeight
                color: colors.primary
                opacity: 0.2
            }

            // qmllint disable unqualified
            Repeater {
                model: tileModel
                MetricCompact {
                    required property int index
                    required property bool fits
                    objectName: "tile" + index
                    visible: fits && !root.awaitingValues
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    Layout.alignment: Qt.AlignVCenter
                    sizeIndex: tileModel.fontSize
                    animate: root.sizes.animateMetrics
                    primary: colors.primary
                    // Dimmed while the machine has sent nothing for a while: the values are old.
                    opacity: root.manager.valuesStale ? root.staleOpacity : 1
                    hoverable: !root.look.locked
                    onMenuRequested: root.tileMenuRequested(index)
                }
            }
            // qmllint enable unqualified

            Text {
                objectName: "connectingText"
                visible: root.awaitingValues
                textFormat: Text.PlainText
                Layout.fillWidth: true
                Layout.alignment: Qt.AlignVCenter
                text: qsTrId("connection.connecting").arg(root.manager.machineName)
                font.family: "Courier New"
                font.pixelSize: root.dims.unitFontSize + 2
                color: colors.primary
                opacity: 0.7
                horizontalAlignment: Text.AlignHCenter
                maximumLineCount: 1
                elide: Text.ElideRight
            }

            Item {
                id: closeButton
                objectName: "closeButton"
                Layout.alignment: Qt.AlignVCenter
                implicitWidth: closeIcon.implicitWidth
                implicitHeight: closeIcon.implicitHeight

                SymbolIcon {
                    id: closeIcon
                    anchors.centerIn: parent
                    name: "xmark.circle"
                    size: root.dims.buttonIconSize
                    color: colors.primary
                    opacity: 0.65
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: root.manager.disconnect()
                }
            }
        }
    }

    // Qt 6.4's Loader cannot create bound components, so the popover and the tiles reach the file's ids unbound.
    // qmllint disable unqualified
    Loader {
        id: popoverLoader
        active: root.showMachineInfo
        sourceComponent: MachineInfoPopover {
            manager: root.manager
            workouts: root.workouts
            sizes: root.sizes
            appearance: root.appearance
            anchorItem: infoIcon
            dark: root.dark
            onDismissed: root.showMachineInfo = false
        }
    }
    // qmllint enable unqualified
}
