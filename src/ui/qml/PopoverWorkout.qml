// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Layouts
import Tallyfin

// The popover's "This workout" section: the workout so far (duration, distance, calories, then
// the average and maximum of what the machine sends, in the user's units), and where and how
// finished workouts are written.
ColumnLayout {
    id: root

    required property Workouts workouts
    required property FTMSManager manager
    required property OverlaySizeManager sizes
    property bool dark: false
    readonly property WorkoutRecorder recorder: workouts.recorder
    // qmllint disable type
    // (Qt 6.4's qmllint cannot name an enum of a C++ namespace; it is a number here.)
    readonly property int kind: manager.metrics.equipmentType
    // qmllint enable type
    readonly property var totals: WorkoutTexts.totals(recorder.summary, kind, sizes.unitSystem)
    readonly property var averages: WorkoutTexts.averages(recorder.summary, kind, sizes.unitSystem)
    // The formats written, by extension, as a script array.
    readonly property var formats: Array.from(recorder.formats)

    // A dialog is about to open: the popover lets go of the pointer first.
    signal dialogOpening()

    function setFormat(name: string, on: bool) {
        const formats = root.formats.filter(f => f !== name)
        if (on)
            formats.push(name)
        recorder.formats = formats
    }

    objectName: "workoutSection"
    Layout.fillWidth: true
    spacing: 6

    SchemeColors {
        id: colors
        dark: root.dark
    }

    Separator { color: colors.separator }

    RowLayout {
        spacing: 6
        Text {
            textFormat: Text.PlainText
            //% "This workout"
            //: Title of the popover's section on the workout being recorded
            text: qsTrId("workout.title")
            font.pixelSize: 13
            font.weight: Font.Bold
            color: colors.primary
        }
        Rectangle {
            objectName: "recordingDot"
            visible: root.recorder.recording
            width: 7
            height: 7
            radius: 3.5
            color: colors.red
        }
    }

    component Cells: GridLayout {
        id: grid
        // Row by row: the label, then the values.
        property var cells: []
        Layout.fillWidth: true
        columnSpacing: 10
        rowSpacing: 2
        // Rows before this one are headings.
        property int firstRow: 0
        // A count, not the array: the cells stay while their texts change every second.
        Repeater {
            model: grid.cells.length
            delegate: Text {
                textFormat: Text.PlainText
                required property int index
                readonly property bool label: index % grid.columns === 0
                readonly property bool heading: index < grid.firstRow * grid.columns
                Layout.fillWidth: label
                Layout.alignment: label ? Qt.AlignLeft : Qt.AlignRight
                text: grid.cells[index] ?? ""
                font.pixelSize: heading ? 10 : 12
                font.weight: label || heading ? Font.Normal : Font.DemiBold
                color: label || heading ? colors.secondary : colors.primary
            }
        }
    }

    Cells {
        objectName: "workoutTotals"
        columns: 2
        cells: root.totals.reduce((all, f) => all.concat([f.label, f.average]), [])
    }

    Cells {
        objectName: "workoutAverages"
        visible: root.averages.length > 0
        columns: 3
        firstRow: 1
        //% "Average"
        //: Column heading in the workout section
        cells: root.averages.reduce((all, f) => all.concat([f.label, f.average, f.maximum]),
                                    ["", qsTrId("workout.average"),
                                     //% "Maximum"
                                     //: Column heading in the workout section
                                     qsTrId("workout.maximum")])
    }

    RowLayout {
        objectName: "workoutFolderRow"
        Layout.fillWidth: true
        spacing: 8
        Text {
            textFormat: Text.PlainText
            //% "Folder"
            //: Label of where finished workouts are written
            text: qsTrId("workout.folder")
            font.pixelSize: 13
            color: colors.secondary
        }
        Text {
            objectName: "workoutFolder"
            Layout.fillWidth: true
            text: root.recorder.folder
            textFormat: Text.PlainText
            elide: Text.ElideMiddle
            font.pixelSize: 11
            color: colors.primary
        }
        Text {
            textFormat: Text.PlainText
            objectName: "chooseWorkoutFolder"
            //% "Choose…"
            //: Button that opens the folder dialog for the workouts folder
            text: qsTrId("workout.chooseFolder")
            font.pixelSize: 13
            color: colors.blue
            MouseArea {
                anchors.fill: parent
                cursorShape: Qt.PointingHandCursor
                onClicked: {
                    root.dialogOpening()
                    root.workouts.chooseFolder()
                }
            }
        }
    }

    SettingRow {
        objectName: "workoutFormatsRow"
        spacing: 6
        //% "Formats"
        //: Label of the file formats written at the end of a workout
        label: qsTrId("workout.formats")
        labelColor: colors.secondary
        Text { textFormat: Text.PlainText; text: "FIT"; font.pixelSize: 11; color: colors.primary }
        Repeater {
            model: ["tcx", "csv"]
            delegate: RowLayout {
                id: format
                required property string modelData
                spacing: 4
                Text { textFormat: Text.PlainText; text: format.modelData.toUpperCase(); font.pixelSize: 11; color: colors.primary }
                ToggleSwitch {
                    objectName: "workoutFormat_" + format.modelData
                    checked: root.formats.indexOf(format.modelData) >= 0
                    dark: root.dark
                    accent: colors.blue
                    onToggled: on => root.setFormat(format.modelData, on)
                }
            }
        }
    }

    SettingRow {
        objectName: "workoutAutoExportRow"
        //% "Save at the end"
        //: Switch: write the workout's files automatically when it ends
        label: qsTrId("workout.autoExport")
        labelColor: colors.secondary
        ToggleSwitch {
            objectName: "workoutAutoExport"
            checked: root.recorder.autoExport
            dark: root.dark
            accent: colors.blue
            onToggled: on => root.recorder.autoExport = on
        }
    }

    Text {
        objectName: "workoutNotice"
        visible: text.length > 0
        // The column's width, whatever the text's length: a long notice wraps, it never widens it.
        Layout.fillWidth: true
        Layout.preferredWidth: 1
        text: root.recorder.lastError.length > 0 ? root.recorder.lastError : root.workouts.notice
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        font.pixelSize: 10
        color: root.recorder.lastError.length > 0 ? colors.red : colors.secondary
    }
}
