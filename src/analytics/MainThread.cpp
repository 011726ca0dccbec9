// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/MainThread.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>

namespace tallyfin::analytics {

bool isMainThread() {
    auto* app = QCoreApplication::instance();
    return app == nullptr || QThread::currentThread() == app->thread();
}

void postToMainThread(std::function<void()> function) {
    auto* app = QCoreApplication::instance();
    if (app == nullptr) {
        function();
        return;
    }
    QMetaObject::invokeMethod(app, std::move(function), Qt::QueuedConnection);
}

void postToBackground(std::function<void()> function) {
    QThreadPool::globalInstance()->start(std::move(function));
}

} // namespace tallyfin::analytics
