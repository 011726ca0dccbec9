// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

// What a child program left behind. exitCode is -1 when it crashed or did not finish in time.
struct ProcessRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs `program` to its end while this thread's event loop keeps going (so a test server in this
// thread can answer it).
ProcessRun
runProcess(const QString& program, const QStringList& arguments,
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
