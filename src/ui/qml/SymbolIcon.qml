// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick
import Tallyfin

// A named symbol at a size and colour. The icon font has a single weight, so `weight` is kept
// only to say what the design asks for.
SymbolGlyph {
    property real size: 14
    property int weight: Font.Normal

    pixelSize: size
}
