// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QJsonObject>
#include <QTextStream>

namespace tallyfin {
struct FitnessMachineFeature;
struct FitnessMetrics;
} // namespace tallyfin

namespace tallyfin::cli {

// Writes `object` as one line of compact JSON. Doubles are written in their shortest form that
// reads back as the same double.
void writeJsonLine(QTextStream& out, const QJsonObject& object);

// A metrics record as JSON: every field under its name, the kind as its case name.
QJsonObject metricsJson(const FitnessMetrics& metrics);

// Machine features as JSON: every flag under its name, and "supportedMetrics".
QJsonObject featuresJson(const FitnessMachineFeature& features);

} // namespace tallyfin::cli
