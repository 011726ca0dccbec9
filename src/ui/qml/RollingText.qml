// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

pragma ComponentBehavior: Bound

import QtQuick

// A value in "Courier New" whose changed characters roll up into place (new from below, old out
// at the top) over 0.15 seconds when `animate` is on, and change at once when it is off.
Item {
    id: root

    property string text
    property bool animate: true
    property real fontSize: 30
    property color color: "black"
    // The halo that keeps the value readable over the chart; it fades with the characters.
    property color glowColor: Qt.rgba(1, 1, 1, 0.45)
    baselineOffset: metrics.ascent

    implicitWidth: cells.width
    implicitHeight: metrics.height
    width: implicitWidth
    height: implicitHeight

    FontMetrics {
        id: metrics
        font.family: "Courier New"
        font.pixelSize: root.fontSize
    }

    Row {
        id: cells
        Repeater {
            model: root.text.length
            Item {
                id: cell
                objectName: "cell" + index
                required property int index
                readonly property string ch: root.text.charAt(index)
                property string previous: ch
                // How far the new and the old character have faded in; the colours stay bound
                // to the scheme's, so a switch to light or dark repaints every character.
                property real incomingShown: 1
                property real outgoingShown: 0
                width: metrics.advanceWidth(ch.length > 0 ? ch : "0")
                height: metrics.height
                clip: false

                onChChanged: {
                    if (previous === ch)
                        return
                    if (root.animate) {
                        outgoing.text = previous
                        roll.restart()
                    } else {
                        roll.complete()
                    }
                    previous = ch
                }

                // The roll fades the glyphs through the alpha of their colours rather than
                // the items' opacity: the same pixels, but Qt's raster engine draws text under
                // an opacity below 1 span by span, through its thread pool. The characters roll
                // inside their line (and its halo) only, never above or below the strip.
                Item {
                    id: line
                    readonly property real halo: 3
                    x: -halo
                    y: -halo
                    width: cell.width + 2 * halo
                    height: cell.height + 2 * halo
                    clip: true

                    GlowText {
                        id: outgoing
                        x: line.halo
                        y: line.halo
                        visible: roll.running
                        font: metrics.font
                        color: Qt.rgba(root.color.r, root.color.g, root.color.b,
                                       root.color.a * cell.outgoingShown)
                        glowColor: root.glowColor
                    }
                    GlowText {
                        id: incoming
                        objectName: "glyph"
                        x: line.halo
                        y: line.halo
                        text: cell.ch
                        font: metrics.font
                        color: Qt.rgba(root.color.r, root.color.g, root.color.b,
                                       root.color.a * cell.incomingShown)
                        glowColor: root.glowColor
                    }
                }

                ParallelAnimation {
                    id: roll
                    objectName: "roll"
                    NumberAnimation { target: incoming; property: "y"; from: 3 + cell.height * 0.5; to: 3; duration: 150; easing.type: Easing.InOutQuad }
                    NumberAnimation { target: cell; property: "incomingShown"; from: 0; to: 1; duration: 150; easing.type: Easing.InOutQuad }
                    NumberAnimation { target: outgoing; property: "y"; from: 3; to: 3 - cell.height * 0.5; duration: 150; easing.type: Easing.InOutQuad }
                    NumberAnimation { target: cell; property: "outgoingShown"; from: 1; to: 0; duration: 150; easing.type: Easing.InOutQuad }
                }
            }
        }
    }
}
