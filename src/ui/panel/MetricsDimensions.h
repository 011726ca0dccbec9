// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "OverlaySize.h"

#include <QObject>

namespace tallyfin::ui {

// The metrics strip's dimensions (points) for one overlay size.
struct MetricsDimensions {
    Q_GADGET
    Q_PROPERTY(double spacing MEMBER spacing CONSTANT)
    Q_PROPERTY(double horizontalPadding MEMBER horizontalPadding CONSTANT)
    Q_PROPERTY(double verticalPadding MEMBER verticalPadding CONSTANT)
    Q_PROPERTY(double cornerRadius MEMBER cornerRadius CONSTANT)
    Q_PROPERTY(double infoTrailingPadding MEMBER infoTrailingPadding CONSTANT)
    Q_PROPERTY(double dividerHeight MEMBER dividerHeight CONSTANT)
    Q_PROPERTY(double buttonIconSize MEMBER buttonIconSize CONSTANT)
    Q_PROPERTY(double tileIconSize MEMBER tileIconSize CONSTANT)
    Q_PROPERTY(double valueFontSize MEMBER valueFontSize CONSTANT)
    Q_PROPERTY(double unitFontSize MEMBER unitFontSize CONSTANT)
    Q_PROPERTY(double tileSpacing MEMBER tileSpacing CONSTANT)

public:
    double spacing = 0;             // between the strip's elements
    double horizontalPadding = 0;   // of the strip
    double verticalPadding = 0;     // of the strip; shrinks as the size grows
    double cornerRadius = 0;        // of the strip's shape
    double infoTrailingPadding = 0; // after the information button
    double dividerHeight = 0;
    double buttonIconSize = 0; // information and close symbols
    double tileIconSize = 0;
    double valueFontSize = 0;
    double unitFontSize = 0;
    double tileSpacing = 0; // inside a tile
};

MetricsDimensions metricsDimensions(OverlaySize size);

// Hands the per-size tables to QML.
class DimensionTables : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    // `size` is the index of an OverlaySize; anything else gives medium.
    Q_INVOKABLE tallyfin::ui::MetricsDimensions metrics(int size) const;
};

} // namespace tallyfin::ui
