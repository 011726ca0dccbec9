// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "model/StopSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace tallyfin {

namespace {

// [0] is written by the handlers, [1] read by the event loop.
int signalSockets[2] = {-1, -1};

extern "C" void onStopSignal(int signalNumber) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    // Nothing to do when the socket is full: a stop is already waiting to be read.
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

StopSignals& StopSignals::install() {
    static StopSignals* instance = new StopSignals;
    return *instance;
}

StopSignals::StopSignals()
    : QObject(QCoreApplication::instance()) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSockets) != 0) {
        qWarning(
            "stop signals: no socket pair; SIGTERM, SIGINT and SIGHUP end the program at once");
        return;
    }
    m_notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignals::read);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(signalNumber, &action, nullptr);
    }
}

void StopSignals::read() {
    char byte = 0;
    while (::read(signalSockets[1], &byte, 1) == 1) {
        if (m_received == 0) {
            m_received = byte;
            for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
                std::signal(signalNumber, SIG_DFL);
            }
            Q_EMIT stopRequested(byte);
        }
    }
}

} // namespace tallyfin
