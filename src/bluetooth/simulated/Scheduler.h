// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace tallyfin::bluetooth::simulated {

// Where the simulated stack's delays come from: the real event loop for the program, a manual
// clock for tests, so that a test decides when "half a second" has passed.
class Scheduler {
public:
    virtual ~Scheduler() = default;
    // Runs `task` once, `delay` from now, on the main thread.
    virtual void after(std::chrono::milliseconds delay, std::function<void()> task) = 0;
    // Milliseconds since the scheduler started.
    virtual qint64 now() const = 0;
};

// Delays on the Qt event loop. A rate above 1 runs the clock that much faster (the end-to-end
// tests ride a demo minute in a few seconds).
class EventLoopScheduler final : public Scheduler {
public:
    explicit EventLoopScheduler(double rate = 1);
    ~EventLoopScheduler() override;
    void after(std::chrono::milliseconds delay, std::function<void()> task) override;
    qint64 now() const override;

private:
    std::unique_ptr<QObject> m_context; // pending tasks die with it
    std::chrono::steady_clock::time_point m_start;
    double m_rate;
};

// Delays on a clock that moves only when told to. Tasks run in time order, those due at the
// same moment in the order they were scheduled.
class ManualScheduler final : public Scheduler {
public:
    void after(std::chrono::milliseconds delay, std::function<void()> task) override;
    qint64 now() const override { return m_now; }

    // Moves the clock forward by `duration`, running every task that falls due on the way
    // (including tasks those tasks schedule). Returns how many ran.
    int advance(std::chrono::milliseconds duration);
    // Runs the tasks due now without moving the clock.
    int runDue() { return advance(std::chrono::milliseconds(0)); }
    std::size_t pending() const { return m_tasks.size(); }

private:
    qint64 m_now = 0;
    unsigned long long m_sequence = 0;
    std::map<std::pair<qint64, unsigned long long>, std::function<void()>> m_tasks;
};

} // namespace tallyfin::bluetooth::simulated
