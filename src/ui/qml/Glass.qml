// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick
import Tallyfin

// The glass material behind a view: a translucent fill in the view's outline with a faint light
// edge. Where windows are not translucent (X11 without a compositor, offscreen) the fill is opaque
// so the panel still reads well.
WavyRoundedRectangle {
    id: glass

    // The scheme of the view the glass belongs to.
    property bool dark: false
    // A tinted glass leans further towards white (light scheme) or black (dark scheme).
    property bool tinted: false
    property bool translucent: true

    traverseRatio: 0.6
    color: {
        if (!translucent)
            return dark ? (tinted ? "#1c1c1e" : "#2a2a2d") : (tinted ? "#f4f4f6" : "#e9e9ec")
        // Dark glass is the denser: its white values must still read over a bright window.
        if (dark)
            return tinted ? Qt.rgba(0.04, 0.04, 0.05, 0.72) : Qt.rgba(0.12, 0.12, 0.13, 0.82)
        return tinted ? Qt.rgba(1, 1, 1, 0.76) : Qt.rgba(0.96, 0.96, 0.97, 0.66)
    }
    borderColor: dark ? Qt.rgba(1, 1, 1, 0.16) : Qt.rgba(1, 1, 1, 0.7)
    borderWidth: 1
}
