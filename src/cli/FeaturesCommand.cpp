// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "cli/Commands.h"
#include "cli/HexArgument.h"
#include "cli/JsonOutput.h"
#include "ftms/FeatureDecoder.h"

#include <QJsonArray>
#include <QJsonObject>

namespace tallyfin::cli {

namespace {

constexpr QStringView name = u"features";

} // namespace

int runFeatures(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (arguments.isEmpty()) {
        return usageError(err, name, QStringLiteral("missing VALUE (hex bytes, at least 8)"));
    }
    if (arguments.size() > 1) {
        return usageError(err, name, u"unexpected argument '" % arguments[1] % u"'");
    }
    QString error;
    const auto bytes = parseHexBytes(arguments.first(), error);
    if (!bytes) {
        return usageError(err, name, u"VALUE '" % arguments.first() % u"': " % error);
    }

    const auto bits = readFeatureBits(*bytes);
    const FitnessMachineFeature features =
        bits ? applyFeatureBits(FitnessMachineFeature{}, *bits) : FitnessMachineFeature{};

    QJsonObject object = featuresJson(features);
    object.insert(QStringLiteral("decoded"), bits.has_value());
    object.insert(QStringLiteral("controlCapabilities"),
                  QJsonArray::fromStringList(features.controlCapabilityNames()));
    object.insert(QStringLiteral("logLine"),
                  bits ? QJsonValue(featuresLogLine(features)) : QJsonValue(QJsonValue::Null));
    writeJsonLine(out, object);
    return exitOk;
}

} // namespace tallyfin::cli
