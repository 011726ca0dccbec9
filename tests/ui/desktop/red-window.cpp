// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// A full-screen window painted red, on whatever platform it is started: the desktop tests start it
// on Wayland as the application the user works in.

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>

class RedWindow : public QRasterWindow {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(QRect(QPoint(), size()), Qt::red);
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    RedWindow window;
    window.showFullScreen();
    return QGuiApplication::exec();
}
