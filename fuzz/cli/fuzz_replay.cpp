// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Fuzz target: replaying a diagnostic log. Any text is read line by line; every line either
// becomes one JSON line or one report, never both, and event lines become neither.
#include "cli/ReplayCommand.h"

#include <QString>
#include <QTextStream>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QString input =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString out;
    QString err;
    QTextStream in(&input);
    QTextStream o(&out);
    QTextStream e(&err);
    const int unreadable = tallyfin::cli::replayLog(in, o, e);
    QTextStream count(&input);
    qsizetype lines = 0;
    QString line;
    while (count.readLineInto(&line)) {
        ++lines;
    }
    if (unreadable < 0 || err.count(u'\n') != unreadable || out.count(u'\n') + unreadable > lines) {
        std::abort();
    }
    return 0;
}
