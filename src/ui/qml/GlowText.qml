// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

pragma ComponentBehavior: Bound

import QtQuick

// A line of text with a soft halo of `glowColor` around its glyphs, so that it reads over
// whatever lies beneath it (the power chart's bars): copies of the text in the halo's colour on
// three rings around it, the outer ones fainter, which the eye takes for a blur of about 3 points.
// The halo fades with the text's own alpha.
Item {
    id: root

    property string text
    property font font
    property color color: "black"
    property color glowColor: Qt.rgba(1, 1, 1, 0.45)
    readonly property alias contentWidth: label.implicitWidth

    implicitWidth: label.implicitWidth
    implicitHeight: label.implicitHeight
    baselineOffset: label.baselineOffset

    Repeater {
        // Eight directions on each of three rings.
        model: 24
        Text {
            textFormat: Text.PlainText
            required property int index
            readonly property int ring: Math.floor(index / 8)
            readonly property real radius: [1.25, 2.5, 3.5][ring]
            readonly property real angle: (index % 8) * Math.PI / 4 + ring * Math.PI / 8
            x: radius * Math.cos(angle)
            y: radius * Math.sin(angle)
            text: root.text
            font: root.font
            color: Qt.rgba(root.glowColor.r, root.glowColor.g, root.glowColor.b,
                           root.glowColor.a * root.color.a * [0.5, 0.25, 0.15][ring])
        }
    }
    Text {
        textFormat: Text.PlainText
        id: label
        text: root.text
        font: root.font
        color: root.color
    }
}
