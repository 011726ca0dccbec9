// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "cli/JsonOutput.h"

#include "ftms/FeatureDecoder.h"
#include "model/FitnessMachineFeature.h"
#include "model/FitnessMetrics.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaProperty>

namespace tallyfin::cli {

void writeJsonLine(QTextStream& out, const QJsonObject& object) {
    out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) << '\n';
}

QJsonObject metricsJson(const FitnessMetrics& metrics) {
    QJsonObject object;
    const QMetaObject& meta = FitnessMetrics::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        const QString key = QString::fromLatin1(property.name());
        const QVariant value = property.readOnGadget(&metrics);
        if (property.metaType() == QMetaType::fromType<EquipmentType>()) {
            object.insert(key, caseName(value.value<EquipmentType>()));
        } else if (property.metaType() == QMetaType::fromType<qint64>()) {
            object.insert(key, value.toLongLong());
        } else {
            object.insert(key, value.toDouble());
        }
    }
    return object;
}

QJsonObject featuresJson(const FitnessMachineFeature& features) {
    QJsonObject object;
    for (const FeatureFlag& flag : featureFlags()) {
        object.insert(flag.name.toString(), features.*flag.member);
    }
    object.insert(QStringLiteral("supportedMetrics"),
                  QJsonArray::fromStringList(features.supportedMetricNames()));
    return object;
}

} // namespace tallyfin::cli
