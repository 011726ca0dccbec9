// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Layouts
import QtQuick.Window
import Tallyfin

// The machine information popover, a small window of its own above the information button: the
// machine, its kind, what it measures and which targets it takes, where the heart rate comes from,
// the preferences, and the copy button for the diagnostic log. Escape or a click outside it closes
// it (`dismissed`).
Window {
    id: popover

    required property FTMSManager manager
    required property OverlaySizeManager sizes
    required property Workouts workouts
    required property Appearance appearance
    // The item the arrow points at (the information symbol).
    required property Item anchorItem
    property bool dark: false

    property bool logCopied: false
    // How long the copy confirmation shows.
    property int confirmationMs: 2000

    readonly property real padding: 16
    readonly property real contentWidth: 300
    readonly property real arrowWidth: 18
    readonly property real arrowHeight: 9
    readonly property real cornerRadius: 10
    // The heart-rate straps shown at once; the list scrolls through the others.
    readonly property int visibleStraps: 5
    readonly property string deviceName: manager.machineFeatures.deviceName
    readonly property var metricNames: Presentation.supportedMetricNames(manager.machineFeatures)
    readonly property var capabilityNames: Presentation.controlCapabilityNames(manager.machineFeatures)
    readonly property HeartRateStrapManager straps: manager.heartRateStraps
    // Where the arrow's tip is, in this window's coordinates.
    property real arrowTipX: width / 2
    // Opened below its button (no room above on the screen): the arrow is on the top edge.
    property bool below: false

    signal dismissed()

    objectName: "machineInfoPopover"
    title: "Tallyfin"
    // Unmanaged on X11 like the panel, so that it too shows over full-screen windows.
    flags: Qt.Tool | Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint | Qt.WindowDoesNotAcceptFocus
           | Qt.BypassWindowManagerHint
    color: "transparent"
    // Two columns: the machine and the panel's preferences, then the workout and what the
    // panel shows, so that the popover stays low enough for the screen above the strip.
    readonly property real columnGap: 24
    width: 2 * contentWidth + columnGap + 2 * padding
    // Never taller than its monitor's free area: past that the content scrolls.
    height: Math.min(columns.implicitHeight + 2 * padding + arrowHeight,
                     roomForHeight > 0 ? roomForHeight : Infinity)
    // The most the monitor's free area leaves above or below the button, as last placed.
    property real roomForHeight: 0
    visible: true

    function copyLog() {
        Presentation.copyLog(manager.logBuffer)
        logCopied = true
        // Each press ends its own confirmation; an earlier one may end it sooner.
        const reset = resetComponent.createObject(popover) as Timer
        reset.start()
    }

    // Places the popover at its button, on the button's own monitor and clear of its docks, and
    // caps its height to the room there. The height follows that room, so a change of height only
    // moves the popover (`position`): placing again from there would loop.
    function place() {
        if (!anchorItem)
            return
        const origin = anchorItem.mapToGlobal(0, 0)
        const area = buttonArea(origin)
        roomForHeight = Math.max(origin.y - area.y, area.y + area.height - origin.y - anchorItem.height) - 8
        position()
    }

    function buttonArea(origin: point): rect {
        return Presentation.screenAreaAt(Qt.point(origin.x + anchorItem.width / 2,
                                                  origin.y + anchorItem.height / 2))
    }

    function position() {
        if (!anchorItem)
            return
        const origin = anchorItem.mapToGlobal(0, 0)
        const placement = Presentation.placePopover(
                            Qt.rect(origin.x, origin.y, anchorItem.width, anchorItem.height),
                            Qt.size(width, height), buttonArea(origin))
        x = placement.x
        y = placement.y
        arrowTipX = placement.arrowTipX
        below = placement.below
    }

    onHeightChanged: position()
    Component.onCompleted: {
        place()
        // The straps heard nearby, for as long as the popover is open.
        straps.setListWanted(true)
    }
    Component.onDestruction: straps.setListWanted(false)

    // The popover stays at its button when the panel moves (dragged) or its layout does (after
    // each of the panel's frames, once laid out).
    Connections {
        target: popover.anchorItem ? popover.anchorItem.Window.window : null
        function onXChanged() { popover.place() }
        function onYChanged() { popover.place() }
        function onAfterAnimating() { popover.place() }
    }

    PopoverGrab {
        window: popover
        onDismissed: popover.dismissed()
    }

    WindowShape {
        window: popover
        outline: frame
        cutVisible: !popover.appearance.translucent
    }

    Component {
        id: resetComponent
        Timer {
            interval: popover.confirmationMs
            onTriggered: {
                popover.logCopied = false
                destroy()
            }
        }
    }

    SchemeColors {
        id: colors
        dark: popover.dark
    }

    // Body and arrow.
    Item {
        id: frame
        anchors.fill: parent

        Rectangle {
            id: body
            y: popover.below ? popover.arrowHeight : 0
            width: parent.width
            height: parent.height - popover.arrowHeight
            radius: popover.cornerRadius
            color: popover.dark ? (popover.appearance.translucent ? Qt.rgba(0.16, 0.16, 0.17, 0.94) : "#29292b")
                                : (popover.appearance.translucent ? Qt.rgba(0.97, 0.97, 0.97, 0.96) : "#f5f5f5")
            border.color: popover.dark ? Qt.rgba(1, 1, 1, 0.14) : Qt.rgba(0, 0, 0, 0.14)
        }
        Rectangle {
            // A square turned by 45 degrees, half of it showing below the body (above it when
            // the popover opened below its button).
            width: popover.arrowWidth / Math.SQRT2
            height: width
            rotation: 45
            x: popover.arrowTipX - width / 2
            y: popover.below ? popover.arrowHeight - height / 2 + 0.5 : body.height - height / 2 - 0.5
            color: body.color
            border.color: body.border.color
            z: -1
        }
        Rectangle {
            // Covers the arrow's edges where it joins the body.
            x: popover.arrowTipX - popover.arrowWidth / 2
            y: popover.below ? popover.arrowHeight + 0.5 : body.height - 2
            width: popover.arrowWidth
            height: 1.5
            color: body.color
        }
    }

    Flickable {
        id: scroller
        objectName: "popoverScroller"
        x: popover.padding
        y: popover.padding + (popover.below ? popover.arrowHeight : 0)
        width: columns.implicitWidth
        height: popover.height - 2 * popover.padding - popover.arrowHeight
        contentHeight: columns.implicitHeight
        interactive: contentHeight > height
        boundsBehavior: Flickable.StopAtBounds
        clip: interactive

        RowLayout {
            id: columns
            spacing: popover.columnGap

        ColumnLayout {
            id: column
            Layout.preferredWidth: popover.contentWidth
            Layout.alignment: Qt.AlignTop
            spacing: 12

            RowLayout {
                objectName: "titleRow"
                spacing: 8
                SymbolIcon {
                    name: "info.circle.fill"
                    size: 15
                    color: colors.blue
                }
                Text {
                    textFormat: Text.PlainText
                    objectName: "title"
                    text: qsTrId("machineInfo.title")
                    font.pixelSize: 13
                    font.weight: Font.Bold
                    color: colors.primary
                }
            }

            Separator { color: colors.separator }

            RowLayout {
                objectName: "deviceRow"
                visible: popover.deviceName.length > 0
                Layout.fillWidth: true
                spacing: 8
                Text {
                    textFormat: Text.PlainText
                    text: qsTrId("machineInfo.device")
                    font.pixelSize: 13
                    color: colors.secondary
                }
                Text {
                    textFormat: Text.PlainText
                    objectName: "deviceValue"
                    Layout.fillWidth: true
                    text: popover.deviceName
                    elide: Text.ElideRight
                    maximumLineCount: 1
                    font.pixelSize: 13
                    font.weight: Font.DemiBold
                    color: colors.primary
                }
            }

            RowLayout {
                objectName: "typeRow"
                spacing: 8
                Text {
                    textFormat: Text.PlainText
                    text: qsTrId("machineInfo.type")
                    font.pixelSize: 13
                    color: colors.secondary
                }
                Text {
                    textFormat: Text.PlainText
                    objectName: "typeValue"
                    // qmllint disable type
                    // (Qt 6.4's qmllint cannot name an enum of a C++ namespace; it is a number here.)
                    text: Presentation.equipmentName(popover.manager.metrics.equipmentType)
                    // qmllint enable type
                    font.pixelSize: 13
                    font.weight: Font.DemiBold
                    color: colors.primary
                }
            }

            ColumnLayout {
                objectName: "supportedMetricsRow"
                visible: popover.metricNames.length > 0
                spacing: 4
                Text {
                    textFormat: Text.PlainText
                    text: qsTrId("machineInfo.supportedMetrics")
                    font.pixelSize: 10
                    color: colors.secondary
                }
                Text {
                    textFormat: Text.PlainText
                    objectName: "supportedMetrics"
                    Layout.preferredWidth: popover.contentWidth
                    text: popover.metricNames.join(", ")
                    font.pixelSize: 10
                    color: colors.primary
                    wrapMode: Text.WordWrap
                }
            }

            ColumnLayout {
                objectName: "controlCapabilitiesRow"
                visible: popover.capabilityNames.length > 0
                spacing: 4
                Text {
                    textFormat: Text.PlainText
                    text: qsTrId("machineInfo.controlCapabilities")
                    font.pixelSize: 10
                    color: colors.secondary
                }
                Text {
                    textFormat: Text.PlainText
                    objectName: "controlCapabilities"
                    Layout.preferredWidth: popover.contentWidth
                    text: popover.capabilityNames.join(", ")
                    font.pixelSize: 10
                    color: colors.green
                    wrapMode: Text.WordWrap
                }
            }

            Separator { color: colors.separator }

            ColumnLayout {
                id: heartRateRow
                objectName: "heartRateRow"
                Layout.fillWidth: true
                spacing: 4
                property bool expanded: false

                SettingRow {
                    label: qsTrId("machineInfo.heartRate")
                    labelColor: colors.secondary
                    Item {
                        objectName: "heartRateChoice"
                        implicitWidth: choiceRow.implicitWidth + 12
                        implicitHeight: 22

                        Rectangle {
                            anchors.fill: parent
                            radius: 6
                            color: colors.primary
                            opacity: choiceHover.containsMouse || heartRateRow.expanded ? 0.1 : 0.05
                        }
                        RowLayout {
                            id: choiceRow
                            anchors.centerIn: parent
                            spacing: 4
                            SymbolIcon {
                                objectName: "strapHeart"
                                visible: popover.straps.chosenId !== ""
                                name: "heart.fill"
                                size: 12
                                // Red while the strap is connected.
                                color: popover.straps.isConnected ? colors.red : colors.secondary
                            }
                            Text {
                                textFormat: Text.PlainText
                                objectName: "heartRateSource"
                                Layout.maximumWidth: 180
                                text: popover.straps.chosenId === "" ? qsTrId("machineInfo.heartRate.machine")
                                                                     : popover.straps.chosenName
                                font.pixelSize: 13
                                font.weight: Font.DemiBold
                                color: colors.primary
                                elide: Text.ElideRight
                            }
                            SymbolIcon {
                                name: "chevron.down"
                                size: 14
                                color: colors.secondary
                                rotation: heartRateRow.expanded ? 180 : 0
                            }
                        }
                        MouseArea {
                            id: choiceHover
                            anchors.fill: parent
                            hoverEnabled: true
                            cursorShape: Qt.PointingHandCursor
                            onClicked: heartRateRow.expanded = !heartRateRow.expanded
                        }
                    }
                }

                ColumnLayout {
                    objectName: "heartRateChoices"
                    visible: heartRateRow.expanded
                    Layout.fillWidth: true
                    spacing: 0

                    StrapChoice {
                        objectName: "machineChoice"
                        label: qsTrId("machineInfo.heartRate.machine")
                        isChosen: popover.straps.chosenId === ""
                        primary: colors.primary
                        accent: colors.blue
                        onActivated: {
                            heartRateRow.expanded = false
                            popover.straps.choose("")
                        }
                    }
                    // A few rows at a time; more scroll.
                    ListView {
                        id: strapList
                        objectName: "strapList"
                        Layout.fillWidth: true
                        Layout.preferredHeight: Math.min(count, popover.visibleStraps) * 22
                        clip: true
                        boundsBehavior: Flickable.StopAtBounds
                        model: popover.straps.straps
                        delegate: StrapChoice {
                            required property string strapId
                            required property string name
                            required property var rssi
                            required property bool chosen
                            objectName: "strapChoice"
                            width: strapList.width
                            label: name
                            isChosen: chosen
                            signalRssi: rssi
                            showsSignal: true
                            primary: colors.primary
                            accent: colors.blue
                            onActivated: {
                                heartRateRow.expanded = false
                                // Last: choosing rebuilds the list, this row included.
                                popover.straps.choose(strapId)
                            }
                        }
                    }
                    Text {
                        textFormat: Text.PlainText
                        objectName: "strapsSearching"
                        visible: popover.straps.straps.count === 0
                        Layout.leftMargin: 26
                        text: qsTrId("machineInfo.heartRate.searching")
                        font.pixelSize: 10
                        color: colors.secondary
                    }
                }
            }

            SettingRow {
                objectName: "sizeRow"
                label: qsTrId("machineInfo.size")
                labelColor: colors.secondary
                SegmentedPicker {
                    objectName: "sizePicker"
                    Layout.preferredWidth: 120
                    labels: [qsTrId("S"), qsTrId("M"), qsTrId("L")]
                    currentIndex: popover.sizes.currentSize
                    dark: popover.dark
                    onActivated: index => popover.sizes.chooseSizeIndex(index)
                }
            }

            SettingRow {
                objectName: "unitsRow"
                label: qsTrId("machineInfo.units")
                labelColor: colors.secondary
                SegmentedPicker {
                    objectName: "unitsPicker"
                    Layout.preferredWidth: 150
                    labels: [qsTrId("machineInfo.units.metric"), qsTrId("machineInfo.units.imperial")]
                    currentIndex: popover.sizes.unitSystem
                    dark: popover.dark
                    onActivated: index => popover.sizes.chooseUnitSystemIndex(index)
                }
            }

            SettingRow {
                objectName: "animationRow"
                label: qsTrId("machineInfo.animation")
                labelColor: colors.secondary
                ToggleSwitch {
                    objectName: "animationToggle"
                    checked: popover.sizes.animateMetrics
                    dark: popover.dark
                    accent: colors.blue
                    onToggled: on => popover.sizes.chooseAnimateMetrics(on)
                }
            }


            Separator { color: colors.separator }

            Item {
                id: copyButton
                objectName: "copyButton"
                implicitWidth: copyRow.implicitWidth
                implicitHeight: copyRow.implicitHeight

                RowLayout {
                    id: copyRow
                    spacing: 6
                    SymbolIcon {
                        name: popover.logCopied ? "checkmark" : "doc.on.clipboard"
                        size: 13
                        color: popover.logCopied ? colors.green : colors.secondary
                    }
                    Text {
                        textFormat: Text.PlainText
                        objectName: "copyLabel"
                        text: popover.logCopied ? qsTrId("machineInfo.logCopied") : qsTrId("machineInfo.copyLog")
                        font.pixelSize: 13
                        color: popover.logCopied ? colors.green : colors.secondary
                    }
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: popover.copyLog()
                }
            }
        }

        ColumnLayout {
            id: extras
            Layout.preferredWidth: popover.contentWidth
            Layout.alignment: Qt.AlignTop
            spacing: 12

            PopoverReconnect { manager: popover.manager; dark: popover.dark; labelColor: colors.secondary; accent: colors.blue }
            PopoverWorkout { workouts: popover.workouts; manager: popover.manager; sizes: popover.sizes; dark: popover.dark; onDialogOpening: popover.dismissed() }
            PopoverLook { sizes: popover.sizes; dark: popover.dark; Layout.fillWidth: true }
            PopoverTiles { manager: popover.manager; sizes: popover.sizes; dark: popover.dark; Layout.fillWidth: true }
        }
        }
    }
}
