// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <QStringView>

namespace tallyfin {

// How the device list shows a machine it knows only by its advertised name: a symbol and a kind.
// The name is matched case-insensitively against "row", "bike"/"cycle", "tread"/"run",
// "ellip"/"cross" in that order; the first match decides.

// The symbol name ("figure.rower", ..., "figure.strengthtraining.traditional" for no match).
QString deviceIconName(QStringView name);
// The localized kind ("Rower", ..., "Fitness Equipment" for no match).
QString deviceTypeName(QStringView name);

} // namespace tallyfin
