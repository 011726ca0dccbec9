// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick
import Tallyfin

// The root of the panel: the metrics while a machine is connected, the device list otherwise.
// Whenever either comes on screen and no scan runs while disconnected, a scan starts.
Item {
    id: root

    required property FTMSManager manager
    required property OverlaySizeManager sizes
    required property Appearance appearance
    required property AppMenu appMenu
    required property Workouts workouts

    readonly property bool connected: manager.isConnected
    readonly property Item currentView: loader.item as Item
    // What the panel's window is cut to: the shown view's outline.
    readonly property Item outline: connected ? (loader.item as MetricsView)?.outline ?? null
                                              : (loader.item as DeviceListView)?.outline ?? null

    function viewAppeared() {
        if (!manager.isConnected && !manager.isScanning)
            manager.startScanning()
    }

    Loader {
        id: loader
        anchors.fill: parent
        sourceComponent: root.connected ? metricsComponent : listComponent
        onLoaded: root.viewAppeared()
    }

    // Qt 6.4's Loader cannot create bound components, so the views reach the file's ids unbound.
    // qmllint disable unqualified
    Component {
        id: listComponent
        DeviceListView {
            objectName: "deviceListView"
            manager: root.manager
            appearance: root.appearance
            // Drawn in the scheme opposite to the desktop's: light on dark in a light desktop.
            dark: !root.appearance.darkDesktop
        }
    }

    Component {
        id: metricsComponent
        MetricsView {
            objectName: "metricsView"
            manager: root.manager
            workouts: root.workouts
            sizes: root.sizes
            appearance: root.appearance
            dark: root.appearance.darkDesktop
            onTileMenuRequested: row => root.appMenu.popupForTile(tiles, row)
        }
    }
    // qmllint enable unqualified
}
