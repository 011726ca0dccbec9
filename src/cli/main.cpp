// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "cli/Commands.h"
#include "cli/Dispatcher.h"
#include "model/StopSignals.h"
#include "tallyfin/BuildInfo.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QVariant>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tallyfin-cli"));
    // The analytics records carry the program's version and build number, as the overlay's do.
    QCoreApplication::setApplicationVersion(QString::fromLatin1(tallyfin::buildinfo::shortVersion));
    app.setProperty("buildNumber", QString::fromLatin1(tallyfin::buildinfo::buildVersion));
    // Commands that wait end through their normal way out on SIGTERM, SIGINT or SIGHUP.
    tallyfin::StopSignals::install();

    QTextStream out(stdout);
    QTextStream err(stderr);
    return tallyfin::cli::dispatch(tallyfin::cli::commands(), app.arguments().mid(1), out, err);
}
