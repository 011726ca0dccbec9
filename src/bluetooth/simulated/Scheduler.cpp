// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "Scheduler.h"

#include <QTimer>

namespace tallyfin::bluetooth::simulated {

EventLoopScheduler::EventLoopScheduler(double rate)
    : m_context(std::make_unique<QObject>())
    , m_start(std::chrono::steady_clock::now())
    , m_rate(rate > 0 ? rate : 1) {}

EventLoopScheduler::~EventLoopScheduler() = default;

void EventLoopScheduler::after(std::chrono::milliseconds delay, std::function<void()> task) {
    QTimer::singleShot(std::chrono::milliseconds(qint64(double(delay.count()) / m_rate)),
                       m_context.get(), std::move(task));
}

qint64 EventLoopScheduler::now() const {
    return qint64(double(std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - m_start)
                             .count()) *
                  m_rate);
}

void ManualScheduler::after(std::chrono::milliseconds delay, std::function<void()> task) {
    const qint64 due = m_now + std::max<qint64>(0, delay.count());
    m_tasks.emplace(std::make_pair(due, m_sequence++), std::move(task));
}

int ManualScheduler::advance(std::chrono::milliseconds duration) {
    const qint64 end = m_now + std::max<qint64>(0, duration.count());
    int ran = 0;
    while (!m_tasks.empty() && m_tasks.begin()->first.first <= end) {
        auto node = m_tasks.extract(m_tasks.begin());
        m_now = node.key().first;
        node.mapped()();
        ++ran;
    }
    m_now = end;
    return ran;
}

} // namespace tallyfin::bluetooth::simulated
