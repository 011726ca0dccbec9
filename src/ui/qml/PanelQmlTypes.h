// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

// QML names of the panel's types: the per-size dimensions, the tile model, the size preferences
// and the display rules. The panel library itself knows nothing of QML.

#include "ui/panel/MetricTileModel.h"
#include "ui/panel/MetricsDimensions.h"
#include "ui/panel/OverlaySizeManager.h"
#include "ui/panel/PanelGeometry.h"
#include "ui/panel/PanelPreferences.h"
#include "ui/panel/Presentation.h"
#include "ui/panel/WorkoutTexts.h"

#include <QtQml/qqmlregistration.h>

namespace tallyfin::ui::qmltypes {

struct MetricsDimensionsForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::MetricsDimensions)
    QML_VALUE_TYPE(metricsDimensions)
};

struct PopoverPlacementForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::PopoverPlacement)
    QML_VALUE_TYPE(popoverPlacement)
};

struct DimensionTablesForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::DimensionTables)
    QML_NAMED_ELEMENT(Dimensions)
    QML_SINGLETON
};

struct MetricTileModelForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::MetricTileModel)
    QML_NAMED_ELEMENT(MetricTileModel)
};

struct OverlaySizeManagerForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::OverlaySizeManager)
    QML_NAMED_ELEMENT(OverlaySizeManager)
    QML_UNCREATABLE("The size preferences are built by the application")
};

struct PanelPreferencesForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::PanelPreferences)
    QML_NAMED_ELEMENT(PanelPreferences)
    QML_UNCREATABLE("Part of the size preferences")
};

struct PresentationForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::Presentation)
    QML_NAMED_ELEMENT(Presentation)
    QML_SINGLETON
};

struct WorkoutTextsForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::WorkoutTexts)
    QML_NAMED_ELEMENT(WorkoutTexts)
    QML_SINGLETON
};

} // namespace tallyfin::ui::qmltypes
