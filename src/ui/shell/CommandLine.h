// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "model/UnitSystem.h"
#include "ui/panel/OverlaySize.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace tallyfin::ui {

// What the command line asks of this run.
struct CommandLineOptions {
    bool demo = false;                 // simulated machines instead of the Bluetooth stack
    std::optional<QString> connectTo;  // connect to the first machine whose name contains it
    std::optional<OverlaySize> size;   // size for this run only; nothing is stored
    std::optional<UnitSystem> units;   // units for this run only; nothing is stored
    std::optional<QString> screenshot; // render the panel to this file and exit
    int screenshotDelayMs = 1000;      // --after
    bool unlock = false;               // unlock the running overlay's panel, then end
    bool showHelp = false;
    bool showVersion = false;
};

struct CommandLineError {
    QString message;
};

// Parses the arguments left after QApplication took its own (`arguments[0]` is the program).
// Errors are in the user's language: install the translations first.
std::variant<CommandLineOptions, CommandLineError> parseCommandLine(const QStringList& arguments);

QString commandLineHelp(const QString& program);

// Exit status for a command line that cannot be used.
inline constexpr int badArgumentsExitCode = 2;

} // namespace tallyfin::ui
