#pragma once

#include <QJsonObject>
#include <QTextStream>

namespace tallyfin {
struct FitnessMetrics;
}

namespace tallyfin::cli {

// Writes `object` as one line of compact JSON. Doubles are written in their shortest form that
// reads back as the same double.
void writeJsonLine(QTextStream& out, const QJsonObject& object);

// A metrics record as JSON: every field under its name, the kind as its case name.
QJsonObject metricsJson(const FitnessMetrics& metrics);

} // namespace tallyfin::cli
