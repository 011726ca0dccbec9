// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "cli/Dispatcher.h"

#include "cli/Command.h"
#include "tallyfin/BuildInfo.h"

namespace tallyfin::cli {

namespace {

constexpr QStringView programName = u"tallyfin-cli";

void printHelp(std::span<const Command> table, QTextStream& out) {
    out << "Usage: " << programName << " COMMAND [ARGUMENTS...]\n"
        << "  or:  " << programName << " --help | --version\n\nCommands:\n";
    // Synopses vary a lot in length, so each summary goes on its own line below.
    for (const Command& command : table) {
        out << "  " << command.name << ' ' << command.usage << "\n      " << command.summary
            << '\n';
    }
    out << "\nExit status: 0 on success, 1 when a command fails, 2 on bad arguments.\n";
}

} // namespace

int usageError(QTextStream& err, QStringView commandName, const QString& message) {
    err << programName;
    if (!commandName.isEmpty()) {
        err << ' ' << commandName;
    }
    err << ": " << message << '\n';
    err.flush();
    return exitUsage;
}

int dispatch(std::span<const Command> table, const QStringList& arguments, QTextStream& out,
             QTextStream& err) {
    if (arguments.isEmpty()) {
        return usageError(err, {}, QStringLiteral("missing command (see --help)"));
    }
    const QString& first = arguments.first();
    if (first == u"--help" || first == u"-h") {
        printHelp(table, out);
        return exitOk;
    }
    if (first == u"--version") {
        out << programName << ' ' << buildinfo::shortVersion << " (" << buildinfo::buildVersion
            << ")\n";
        return exitOk;
    }
    for (const Command& command : table) {
        if (command.name == first) {
            if (arguments.size() == 2 && (arguments[1] == u"--help" || arguments[1] == u"-h")) {
                out << "Usage: " << programName << ' ' << command.name << ' ' << command.usage
                    << "\n"
                    << command.summary << '\n';
                return exitOk;
            }
            const int status = command.run(arguments.mid(1), out, err);
            out.flush();
            err.flush();
            return status;
        }
    }
    if (first.startsWith(u'-')) {
        return usageError(err, {}, u"unknown option '" % first % u"' (see --help)");
    }
    return usageError(err, {}, u"unknown command '" % first % u"' (see --help)");
}

} // namespace tallyfin::cli
