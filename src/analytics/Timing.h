// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QDateTime>

#include <chrono>
#include <functional>

namespace tallyfin::analytics {

// The clock and the periods of the analytics client. Tests replace the clock and shorten the
// periods; applications leave the defaults.
struct Timing {
    // Interval of the send timer.
    std::chrono::milliseconds sendInterval{10'000};
    // Delay from manager construction to the first session.
    std::chrono::milliseconds sessionStartDelay{500};
    // Time-out of one upload request.
    std::chrono::milliseconds requestTimeout{60'000};
    // Time in the background after which returning to the foreground starts a new session.
    std::chrono::milliseconds foregroundSessionTimeout{300'000};
    // Tick of the session duration timer.
    std::chrono::milliseconds sessionTick{1'000};
    // Least time between two early sends, and the delay before one.
    std::chrono::milliseconds immediateSyncMinimumGap{10'000};
    std::chrono::milliseconds immediateSyncDelay{50};
    // Longest time the cache file lags behind the cache while signals wait unsent.
    std::chrono::milliseconds cacheWriteDelay{1'000};
};

// The process-wide clock of the client. Replaceable so that tests can move time forward.
class Clock {
public:
    using Function = std::function<QDateTime()>;

    static QDateTime now();
    // Installs a clock; an empty function restores the system clock.
    static void setFunction(Function function);
};

} // namespace tallyfin::analytics
