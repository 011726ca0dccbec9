// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// The yardstick of the overlay benchmarks: a bare Qt Quick window of the connected panel's size
// and kind (frameless, translucent, on top, no focus) at the bottom of the screen, drawing one
// static rounded strip with a line of text. It runs for the figures' window of time
// (TALLYFIN_FRAME_STATS_WINDOW) and writes them to TALLYFIN_FRAME_STATS like the overlay does.
#include "ui/shell/FrameStats.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QScreen>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    QQmlApplicationEngine engine;
    engine.loadData(R"(
import QtQuick
Window {
    width: 1920
    height: 80
    color: "transparent"
    flags: Qt.Tool | Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint | Qt.WindowDoesNotAcceptFocus
    visible: true
    Rectangle {
        anchors.fill: parent
        anchors.margins: 6
        radius: 28
        color: Qt.rgba(0.96, 0.96, 0.97, 0.66)
        Text {
            anchors.centerIn: parent
            text: "bare Qt Quick window"
            font.family: "Courier New"
            font.pixelSize: 33
        }
    }
}
)");
    auto* window = engine.rootObjects().isEmpty()
                       ? nullptr
                       : qobject_cast<QQuickWindow*>(engine.rootObjects().constFirst());
    if (!window) {
        std::fputs("bench_bare_window: the window could not be created\n", stderr);
        return 1;
    }
    if (const QScreen* screen = window->screen()) {
        window->setPosition(screen->geometry().left(), screen->geometry().bottom() - 100);
    }
    tallyfin::ui::FrameStats* stats = tallyfin::ui::FrameStats::fromEnvironment(*window, &app);
    if (!stats) {
        std::fprintf(stderr, "bench_bare_window: set %s to a file for the figures\n",
                     tallyfin::ui::FrameStats::fileVariable);
        return 2;
    }
    QObject::connect(stats, &tallyfin::ui::FrameStats::finished, &app, &QCoreApplication::quit);
    return QGuiApplication::exec();
}
