#include "cli/JsonOutput.h"

#include <QJsonDocument>

namespace tallyfin::cli {

void writeJsonLine(QTextStream& out, const QJsonObject& object) {
    out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) << '\n';
}

} // namespace tallyfin::cli
