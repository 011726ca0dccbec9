// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

import QtQuick
import QtQuick.Window
import Tallyfin

// The overlay panel. The application sets its flags, frame and placement; this file fills it.
Window {
    id: panel

    required property FTMSManager manager
    required property OverlaySizeManager sizes
    required property Appearance appearance
    required property AppMenu appMenu
    required property Workouts workouts

    title: "Tallyfin"
    color: "transparent"
    width: 580
    height: 80

    // Dragging by the background; buttons above it take their own clicks. Where the desktop has
    // no tray, the application menu opens on a right click here.
    MouseArea {
        id: background

        property point pressOffset

        anchors.fill: parent
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onPressed: mouse => {
            if (mouse.button === Qt.RightButton) {
                if (!panel.appMenu.inTray)
                    panel.appMenu.popup()
                return
            }
            pressOffset = Qt.point(mouse.x, mouse.y)
            // A window the window manager does not manage (X11) is moved here.
            if (!(panel.flags & Qt.BypassWindowManagerHint) && panel.startSystemMove())
                mouse.accepted = false
        }
        onPositionChanged: mouse => {
            // Without a window manager to move it, the panel follows the pointer itself.
            if (pressed && (mouse.buttons & Qt.LeftButton)) {
                panel.x += mouse.x - pressOffset.x
                panel.y += mouse.y - pressOffset.y
            }
        }
    }

    // Clicks in the transparent margins go to the window below; without a compositor only the
    // outline shows.
    WindowShape {
        objectName: "panelShape"
        window: panel
        outline: content.outline
        cutVisible: !panel.appearance.translucent
        passThrough: clickThrough.passThrough
    }

    // Locked, every click goes to the window below, unless Ctrl is held over the panel.
    ClickThrough {
        id: clickThrough
        objectName: "clickThrough"
        window: panel
        locked: panel.sizes.panel.locked
    }

    ContentView {
        id: content
        objectName: "contentView"
        anchors.fill: parent
        manager: panel.manager
        sizes: panel.sizes
        appearance: panel.appearance
        appMenu: panel.appMenu
        workouts: panel.workouts
    }
}
