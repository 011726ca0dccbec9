// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "model/FitnessMachineFeature.h"
#include "model/FitnessMetrics.h"
#include "ui/panel/PanelGeometry.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace tallyfin::ui {

// The display rules the views need from C++: how a machine is shown in the device list, how the
// diagnostic log is copied and where the popover opens.
class Presentation : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    Q_INVOKABLE static QString deviceIconName(const QString& name);
    Q_INVOKABLE static QString deviceTypeName(const QString& name);
    // Signal level 0 to 4 from an advertised RSSI; undefined (no advertisement) gives 0.
    Q_INVOKABLE static int signalLevel(const QVariant& rssi);
    // The localized name of an equipment kind (EquipmentType as a number).
    Q_INVOKABLE static QString equipmentName(int type);
    // Whether a machine's record has reached `metrics` (each names the kind of machine): false
    // from the connection until its first values.
    Q_INVOKABLE static bool hasValues(const tallyfin::FitnessMetrics& metrics);
    // What the machine measures and which targets it takes, in the user's language.
    Q_INVOKABLE static QStringList supportedMetricNames(const tallyfin::FitnessMachineFeature& f);
    Q_INVOKABLE static QStringList controlCapabilityNames(const tallyfin::FitnessMachineFeature& f);
    // Why the chooser finds nothing and what to do, for a central state (bluetooth::CentralState
    // as a number) that keeps Bluetooth from scanning; empty for any other.
    Q_INVOKABLE static QString bluetoothAdvice(int centralState);
    // Puts the log lines on the clipboard joined by single line feeds (none after the last).
    Q_INVOKABLE static void copyLog(const QStringList& lines);
    // The power history as the chart takes it.
    Q_INVOKABLE static QList<int> powerSamples(const QList<qint64>& history);
    // panel::placePopover for QML, which hands rectangles over as QRectF.
    Q_INVOKABLE static tallyfin::ui::PopoverPlacement
    placePopover(const QRectF& button, const QSizeF& size, const QRectF& screen);
    // The visible area (without docks and panels) of the screen showing `point`, the primary
    // screen's when none does: a popover stays on its button's own monitor.
    Q_INVOKABLE static QRectF screenAreaAt(const QPointF& point);
};

} // namespace tallyfin::ui
