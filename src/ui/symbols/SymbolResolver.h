// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/symbols/Symbol.h"

#include <QStringList>

namespace tallyfin::ui {

// Maps the symbol names the views use ("heart.fill", "figure.rower", ...) onto the Material Icons
// font, and onto our own images for the two it lacks ("metronome", "figure.elliptical").
class SymbolResolver {
public:
    // The font family the ligatures are set in.
    static QString fontFamily();
    // Whether that font is installed; without it ligatures would show as plain words.
    static bool fontAvailable();

    // The drawing of `name`; an unknown name logs a warning once and resolves to nothing.
    static Symbol resolve(QStringView name);
    // Every name resolve() knows, sorted.
    static QStringList names();
};

} // namespace tallyfin::ui
