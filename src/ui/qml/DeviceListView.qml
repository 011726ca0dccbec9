// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

pragma ComponentBehavior: Bound

import QtQuick
import Tallyfin

// The one-line chooser. While nothing has been found it shows the searching line in an outline
// whose edge carries a travelling dent; once machines are known it shows one at a time, with
// chevrons to page through them when there are two or more. A click on the machine connects.
Item {
    id: root

    required property FTMSManager manager
    required property Appearance appearance
    // The colour scheme of this view (the opposite of the desktop's).
    property bool dark: true

    readonly property real barHeight: 22
    readonly property real scanCycleDuration: 1.5
    readonly property real scanTraverseRatio: 0.6
    readonly property real scanAmplitude: 3.5
    readonly property real horizontalPadding: 28
    readonly property real verticalPadding: 18

    property int slideDirection: 0
    property real wavePhase: 0

    readonly property DeviceListModel deviceList: manager.deviceList
    readonly property int deviceCount: deviceList.count
    readonly property bool searching: deviceCount === 0
    // Bluetooth off, missing or refused: said instead of searching.
    readonly property string bluetoothProblem: Presentation.bluetoothAdvice(manager.bluetoothState)
    // The model keeps which machine is shown and tells when it or its advertisement changes.
    readonly property var currentDevice: deviceList.shownRow < 0 ? null : deviceList.shown
    readonly property string currentDeviceId: currentDevice ? currentDevice.id : ""
    readonly property Item shownRow: rowSlot.current
    // What the panel's window is cut to.
    readonly property Item outline: glass

    function waveStep() {
        if (!searching)
            return
        wavePhase += 1 / (scanCycleDuration * 30)
        if (wavePhase >= 1)
            wavePhase -= 1
    }

    SchemeColors {
        id: colors
        dark: root.dark
    }

    // The wave ticks only while it has something to move.
    Timer {
        id: waveTimer
        interval: 1000 / 30
        repeat: true
        running: root.visible && root.searching
        onTriggered: root.waveStep()
    }

    Item {
        id: bar
        objectName: "deviceListBar"

        // Searching fills the panel's width; a machine's row takes only the width it needs.
        readonly property real contentWidth: root.searching ? root.width - 2 * root.horizontalPadding
                                                            : pagingRow.implicitWidth
        width: Math.min(root.width, contentWidth + 2 * root.horizontalPadding)
        height: root.barHeight + 2 * root.verticalPadding
        anchors.centerIn: parent

        // Only the row's own width animates (new machine, first machine found); the searching
        // line takes the full width at once.
        Behavior on width {
            enabled: !root.searching
            NumberAnimation { duration: 400; easing.type: Easing.OutCubic }
        }

        Rectangle {
            anchors.fill: parent
            color: Qt.rgba(1, 1, 1, 0.001)
            radius: 22
        }

        Glass {
            id: glass
            objectName: "deviceListGlass"
            anchors.fill: parent
            dark: root.dark
            tinted: true
            translucent: root.appearance.translucent
            cornerRadius: 22
            phase: root.wavePhase
            amplitude: root.searching && root.bluetoothProblem === "" ? root.scanAmplitude : 0
            traverseRatio: root.scanTraverseRatio
            insetAmount: 0
        }

        // Searching.
        Row {
            id: searchingRow
            objectName: "searchingRow"
            visible: root.searching
            x: root.horizontalPadding
            anchors.verticalCenter: parent.verticalCenter
            height: root.barHeight
            spacing: 10

            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                name: "dot.radiowaves.left.and.right"
                size: 14
                weight: Font.Light
                color: colors.primary
                opacity: 0.5
            }
            Text {
                textFormat: Text.PlainText
                objectName: "searchingText"
                anchors.verticalCenter: parent.verticalCenter
                anchors.verticalCenterOffset: 1
                text: root.bluetoothProblem !== "" ? root.bluetoothProblem : qsTrId("deviceList.searching")
                font.family: "Courier New"
                font.pixelSize: 14
                color: colors.primary
                opacity: 0.5
            }
        }

        // Paging.
        Row {
            id: pagingRow
            visible: !root.searching
            x: root.horizontalPadding
            anchors.verticalCenter: parent.verticalCenter
            height: root.barHeight
            spacing: 10

            ChevronButton {
                id: chevronLeft
                objectName: "chevronLeft"
                visible: root.deviceCount >= 2
                symbol: "chevron.left"
                color: colors.primary
                onClicked: {
                    root.slideDirection = -1
                    root.deviceList.step(-1)
                }
            }

            // While paging, as wide as the widest machine's row, so that the chevrons stay put
            // under the pointer whatever the name shown.
            Item {
                id: rowSlot
                objectName: "rowSlot"
                property Item current: null
                width: !current ? 0 : root.deviceCount < 2 ? current.implicitWidth
                                  : Math.max(current.implicitWidth, Math.min(root.widestRow, root.rowMaximumWidth))
                height: root.barHeight
                visible: root.currentDevice !== null
            }

            ChevronButton {
                objectName: "chevronRight"
                visible: root.deviceCount >= 2
                symbol: "chevron.right"
                color: colors.primary
                onClicked: {
                    root.slideDirection = 1
                    root.deviceList.step(1)
                }
            }

            QuitButton {
                id: quitButtonPaging
                objectName: "quitButtonPaging"
                anchors.verticalCenter: parent.verticalCenter
                color: colors.primary
            }
        }

        QuitButton {
            objectName: "quitButton"
            anchors.right: parent.right
            anchors.rightMargin: root.horizontalPadding
            anchors.verticalCenter: parent.verticalCenter
            color: colors.primary
            visible: root.searching
        }
    }

    // The widest row any machine found takes, names uncut: measured once per machine (and again
    // when its name changes), with a row of its own that is never shown.
    property real widestRow: 0
    property var measuredNames: []
    DeviceRow {
        id: probe
        visible: false
    }
    function measure(first, last) {
        for (let i = first; i <= last; ++i) {
            const name = deviceList.nameAt(i)
            if (measuredNames[i] === name)
                continue
            measuredNames[i] = name
            widestRow = Math.max(widestRow, probe.widthFor(name))
        }
    }
    Connections {
        target: root.deviceList
        function onRowsInserted(parent, first, last) { root.measure(first, last) }
        function onDataChanged(topLeft, bottomRight) { root.measure(topLeft.row, bottomRight.row) }
        function onModelReset() {
            root.widestRow = 0
            root.measuredNames = []
        }
    }

    // What the panel leaves a row beside the chevrons and the Quit button.
    readonly property real rowMaximumWidth: width - 2 * horizontalPadding - quitButtonPaging.width - pagingRow.spacing
                                            - (chevronLeft.visible ? 2 * (chevronLeft.width + pagingRow.spacing) : 0)

    Component {
        id: rowComponent
        DeviceRow {
            primary: colors.primary
            maximumWidth: root.rowMaximumWidth
            onActivated: id => root.manager.connectDevice(id)
        }
    }

    // A different machine is a new row: the old one slides out towards the leading edge and the
    // new one comes in from the trailing edge after paging forward, the other way round after
    // paging back, both fading.
    onCurrentDeviceIdChanged: showCurrentDevice(true)
    Component.onCompleted: {
        measure(0, deviceCount - 1)
        showCurrentDevice(false)
    }

    function showCurrentDevice(animated) {
        const old = rowSlot.current
        if (old) {
            old.device = old.device // keeps what it showed while it leaves
            if (animated)
                old.leave(slideDirection >= 0 ? -1 : 1)
            else
                old.destroy()
        }
        rowSlot.current = null
        if (!currentDevice)
            return
        const row = rowComponent.createObject(rowSlot, { objectName: "deviceRow" })
        row.device = Qt.binding(() => root.currentDevice)
        row.width = Qt.binding(() => rowSlot.width)
        rowSlot.current = row
        if (animated)
            row.enter(slideDirection >= 0 ? 1 : -1)
    }
}
