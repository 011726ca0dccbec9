// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "Screenshot.h"

#include "UiLogging.h"

#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>
#include <QPointer>
#include <QQuickWindow>
#include <QTimer>

#include <cstdio>

namespace tallyfin::ui {

void takeScreenshotLater(QQuickWindow& window, const QString& file,
                         std::chrono::milliseconds delay) {
    QPointer<QQuickWindow> target(&window);
    QTimer::singleShot(delay, &window, [target, file]() {
        const QImage image = target ? target->grabWindow() : QImage();
        QImageWriter writer(file);
        if (image.isNull() || !writer.write(image)) {
            const QString reason = image.isNull()
                                       ? QStringLiteral("the window could not be rendered")
                                       : writer.errorString();
            std::fprintf(stderr, "tallyfin: cannot write the screenshot %s: %s\n", qPrintable(file),
                         qPrintable(reason));
            QCoreApplication::exit(1);
            return;
        }
        qCInfo(lcUi) << "screenshot written to" << file << image.size();
        QCoreApplication::exit(0);
    });
}

} // namespace tallyfin::ui
