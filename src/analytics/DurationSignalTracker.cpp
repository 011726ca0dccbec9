// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/DurationSignalTracker.h"

#include "analytics/AppActivity.h"
#include "analytics/DefaultSignalPayload.h"
#include "analytics/Timing.h"

namespace tallyfin::analytics {

DurationSignalTracker& DurationSignalTracker::shared() {
    static DurationSignalTracker* tracker = new DurationSignalTracker;
    return *tracker;
}

DurationSignalTracker::DurationSignalTracker() {
    auto* activity = AppActivity::instance();
    connect(activity, &AppActivity::didResignActive, this,
            &DurationSignalTracker::handleDidEnterBackgroundNotification, Qt::DirectConnection);
    connect(activity, &AppActivity::willBecomeActive, this,
            &DurationSignalTracker::handleWillEnterForegroundNotification, Qt::DirectConnection);
}

void DurationSignalTracker::startTracking(const QString& name, const Parameters& parameters,
                                          bool includeBackgroundTime) {
    QMutexLocker locker(&m_mutex);
    m_startedSignals.insert(name, CachedData{Clock::now(), parameters, includeBackgroundTime});
}

std::optional<DurationSignalTracker::Stopped>
DurationSignalTracker::stopTracking(const QString& name) {
    QMutexLocker locker(&m_mutex);
    const auto it = m_startedSignals.constFind(name);
    if (it == m_startedSignals.cend()) {
        return std::nullopt;
    }
    Stopped stopped{it->startTime.msecsTo(Clock::now()), it->parameters};
    m_startedSignals.erase(it);
    return stopped;
}

void DurationSignalTracker::reset() {
    QMutexLocker locker(&m_mutex);
    m_startedSignals.clear();
    m_lastEnteredBackground.reset();
}

void DurationSignalTracker::handleDidEnterBackgroundNotification() {
    QMutexLocker locker(&m_mutex);
    m_lastEnteredBackground = Clock::now();
}

void DurationSignalTracker::handleWillEnterForegroundNotification() {
    QMutexLocker locker(&m_mutex);
    if (!m_lastEnteredBackground) {
        return;
    }
    const qint64 inactive = m_lastEnteredBackground->msecsTo(Clock::now());
    for (CachedData& data : m_startedSignals) {
        if (!data.includeBackgroundTime) {
            data.startTime = data.startTime.addMSecs(inactive);
        }
    }
    m_lastEnteredBackground.reset();
}

QString DurationSignalTracker::durationText(double seconds) {
    return DefaultSignalPayload::decimalText(seconds);
}

} // namespace tallyfin::analytics
