// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>

class QSocketNotifier;

namespace tallyfin {

// SIGTERM, SIGINT and SIGHUP as a Qt signal on the main thread, so that a program stopped by one
// of them leaves through its normal termination path (the analytics client writing its cache,
// preferences reaching the disk). The handlers only write the signal's number into a socket pair;
// the event loop reads it. After the first, the default action is back: a second signal ends the
// program at once.
class StopSignals : public QObject {
    Q_OBJECT

public:
    // Installs the handlers (once per process; the application object must exist) and returns
    // the one instance.
    static StopSignals& install();

Q_SIGNALS:
    void stopRequested(int signalNumber);

private:
    StopSignals();
    void read();

    QSocketNotifier* m_notifier = nullptr;
    // The first signal received, 0 while none has come.
    int m_received = 0;
};

} // namespace tallyfin
