#pragma once

#include <QJsonObject>
#include <QTextStream>

namespace tallyfin::cli {

// Writes `object` as one line of compact JSON. Doubles are written in their shortest form that
// reads back as the same double.
void writeJsonLine(QTextStream& out, const QJsonObject& object);

} // namespace tallyfin::cli
