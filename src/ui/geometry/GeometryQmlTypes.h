// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

// QML names of the painted items. List this header among the SOURCES of the application's
// qt_add_qml_module (and link tallyfin_ui_geometry); the items then appear in that module as
// WavyRoundedRectangle, PixelSignalCompact and PowerSparklineView.

#include "ui/geometry/PixelSignalCompact.h"
#include "ui/geometry/PowerSparklineView.h"
#include "ui/geometry/WavyRoundedRectangleItem.h"

#include <QtQml/qqmlregistration.h>

namespace tallyfin::ui::qmltypes {

// The base of the wavy outline and the power chart; not created from QML.
struct SlicedPaintedItemForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::SlicedPaintedItem)
    QML_ANONYMOUS
};

struct WavyRoundedRectangleForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::WavyRoundedRectangleItem)
    QML_NAMED_ELEMENT(WavyRoundedRectangle)
};

struct PixelSignalCompactForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::PixelSignalCompact)
    QML_NAMED_ELEMENT(PixelSignalCompact)
};

struct PowerSparklineViewForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::PowerSparklineView)
    QML_NAMED_ELEMENT(PowerSparklineView)
};

} // namespace tallyfin::ui::qmltypes
