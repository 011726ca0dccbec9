// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/Command.h"

#include <span>

namespace tallyfin::cli {

// The run functions of the subcommands, one per command file.
int runDecode(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runFeatures(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runSignal(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runMonitor(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runReplay(const QStringList& arguments, QTextStream& out, QTextStream& err);
int runExport(const QStringList& arguments, QTextStream& out, QTextStream& err);

// Every subcommand, in the order --help lists them.
std::span<const Command> commands();

} // namespace tallyfin::cli
