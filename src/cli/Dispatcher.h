// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QStringList>
#include <QTextStream>

#include <span>

namespace tallyfin::cli {

struct Command;

// Picks the subcommand named by the first argument and runs it; handles --help and --version.
// `arguments` excludes the program name. Returns the process exit status.
int dispatch(std::span<const Command> table, const QStringList& arguments, QTextStream& out,
             QTextStream& err);

} // namespace tallyfin::cli
