// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick
import QtQuick.Layouts

// One preference in the popover: its name on the left, its control on the right. The control is
// the row's own child, e.g. `SettingRow { label: …; ToggleSwitch { … } }`.
RowLayout {
    id: row

    property alias label: name.text
    property color labelColor: "gray"

    Layout.fillWidth: true

    Text {
        id: name
        textFormat: Text.PlainText
        font.pixelSize: 13
        color: row.labelColor
    }
    Item { Layout.fillWidth: true }
}
