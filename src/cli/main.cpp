// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "cli/Commands.h"
#include "cli/Dispatcher.h"
#include "model/StopSignals.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tallyfin-cli"));
    // Commands that wait end through their normal way out on SIGTERM, SIGINT or SIGHUP.
    tallyfin::StopSignals::install();

    QTextStream out(stdout);
    QTextStream err(stderr);
    return tallyfin::cli::dispatch(tallyfin::cli::commands(), app.arguments().mid(1), out, err);
}
