// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

// QML name of the symbol item. List this header among the SOURCES of the application's
// qt_add_qml_module (link tallyfin_ui_symbols and add src/ui/symbols to the include
// directories); the item then appears in that module as SymbolGlyph.

#include "ui/symbols/SymbolGlyph.h"

#include <QtQml/qqmlregistration.h>

namespace tallyfin::ui::qmltypes {

struct SymbolGlyphForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::SymbolGlyph)
    QML_NAMED_ELEMENT(SymbolGlyph)
};

} // namespace tallyfin::ui::qmltypes
