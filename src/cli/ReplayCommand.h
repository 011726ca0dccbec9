// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QTextStream>

namespace tallyfin::cli {

// Replays a diagnostic log read from `in`: one JSON line on `out` per value line, unreadable
// lines reported on `err` with their number. Returns the number of unreadable lines.
int replayLog(QTextStream& in, QTextStream& out, QTextStream& err);

} // namespace tallyfin::cli
