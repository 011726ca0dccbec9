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
    readonly property color outlineColor: Qt.rgba(1, 1, 1, 0.18)
    // The same colours with no alpha: where a character fades from or to.
    readonly property color clearColor: Qt.rgba(color.r, color.g, color.b, 0)
    readonly property color clearOutline: Qt.rgba(1, 1, 1, 0)
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
                // an opacity below 1 span by span, through its thread pool.
                Text {
                    textFormat: Text.PlainText
                    id: outgoing
                    visible: roll.running
                    font: metrics.font
                    color: "transparent"
                    style: Text.Outline
                    styleColor: "transparent"
                }
                Text {
                    textFormat: Text.PlainText
                    id: incoming
                    text: cell.ch
                    font: metrics.font
                    color: root.color
                    style: Text.Outline
                    styleColor: root.outlineColor
                }

                ParallelAnimation {
                    id: roll
                    objectName: "roll"
                    // A colour that changed during the roll (a new zone) is the one the glyph keeps.
                    onStopped: incoming.color = Qt.binding(() => root.color)
                    NumberAnimation { target: incoming; property: "y"; from: cell.height * 0.5; to: 0; duration: 150; easing.type: Easing.InOutQuad }
                    ColorAnimation { target: incoming; property: "color"; from: root.clearColor; to: root.color; duration: 150; easing.type: Easing.InOutQuad }
                    ColorAnimation { target: incoming; property: "styleColor"; from: root.clearOutline; to: root.outlineColor; duration: 150; easing.type: Easing.InOutQuad }
                    NumberAnimation { target: outgoing; property: "y"; from: 0; to: -cell.height * 0.5; duration: 150; easing.type: Easing.InOutQuad }
                    ColorAnimation { target: outgoing; property: "color"; from: root.color; to: root.clearColor; duration: 150; easing.type: Easing.InOutQuad }
                    ColorAnimation { target: outgoing; property: "styleColor"; from: root.outlineColor; to: root.clearOutline; duration: 150; easing.type: Easing.InOutQuad }
                }
            }
        }
    }
}
