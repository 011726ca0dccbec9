// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QStringList>
#include <QStringView>
#include <QTextStream>

namespace tallyfin::cli {

// Exit statuses shared by every subcommand.
inline constexpr int exitOk = 0;
inline constexpr int exitFailure = 1; // the command ran and failed
inline constexpr int exitUsage = 2;   // bad arguments; nothing was done

// One subcommand of tallyfin-cli. `run` gets the arguments after the command's name and writes
// its result to `out` and its diagnostics to `err`; it may run the event loop itself.
struct Command {
    using RunFunction = int (*)(const QStringList& arguments, QTextStream& out, QTextStream& err);

    QStringView name;
    QStringView summary;
    QStringView usage; // the arguments, as shown by --help ("MACHINE VALUE...")
    RunFunction run;
};

// Writes the one error line for a bad argument and returns exitUsage; on a usage error a command
// prints nothing on its output.
int usageError(QTextStream& err, QStringView commandName, const QString& message);

} // namespace tallyfin::cli
