// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/Timing.h"

#include <QMutex>

namespace tallyfin::analytics {

namespace {
QMutex clockMutex;
Clock::Function& clockFunction() {
    static Clock::Function function;
    return function;
}
} // namespace

QDateTime Clock::now() {
    Function function;
    {
        QMutexLocker locker(&clockMutex);
        function = clockFunction();
    }
    return function ? function() : QDateTime::currentDateTimeUtc();
}

void Clock::setFunction(Function function) {
    QMutexLocker locker(&clockMutex);
    clockFunction() = std::move(function);
}

} // namespace tallyfin::analytics
