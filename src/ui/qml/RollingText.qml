import QtQuick

// A value in "Courier New" whose changed characters roll up into place (new from below, old out
// at the top) over 0.15 seconds when `animate` is on, and change at once when it is off.
Item {
    id: root

    property string text
    property bool animate: true
    property real fontSize: 30
    property color color: "black"
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
                    if (root.animate && previous !== ch) {
                        outgoing.text = previous
                        roll.restart()
                    } else if (previous !== ch) {
                        roll.stop()
                        incoming.y = 0
                        incoming.fade = 1
                        outgoing.fade = 0
                    }
                    previous = ch
                }

                // The roll fades the glyphs through the alpha of their colours rather than
                // the items' opacity: the same pixels, but Qt's raster engine draws text under
                // an opacity below 1 span by span, through its thread pool.
                Text {
                    id: outgoing
                    property real fade: 0
                    visible: fade > 0
                    font: metrics.font
                    color: Qt.rgba(root.color.r, root.color.g, root.color.b, root.color.a * fade)
                    style: Text.Outline
                    styleColor: Qt.rgba(1, 1, 1, 0.18 * fade)
                }
                Text {
                    id: incoming
                    property real fade: 1
                    visible: fade > 0
                    text: cell.ch
                    font: metrics.font
                    color: Qt.rgba(root.color.r, root.color.g, root.color.b, root.color.a * fade)
                    style: Text.Outline
                    styleColor: Qt.rgba(1, 1, 1, 0.18 * fade)
                }

                ParallelAnimation {
                    id: roll
                    objectName: "roll"
                    NumberAnimation { target: incoming; property: "y"; from: cell.height * 0.5; to: 0; duration: 150; easing.type: Easing.InOutQuad }
                    NumberAnimation { target: incoming; property: "fade"; from: 0; to: 1; duration: 150; easing.type: Easing.InOutQuad }
                    NumberAnimation { target: outgoing; property: "y"; from: 0; to: -cell.height * 0.5; duration: 150; easing.type: Easing.InOutQuad }
                    NumberAnimation { target: outgoing; property: "fade"; from: 1; to: 0; duration: 150; easing.type: Easing.InOutQuad }
                }
            }
        }
    }
}
