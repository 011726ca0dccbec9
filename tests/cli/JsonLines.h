// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>

// The object without its members that are zero, also in the objects it holds.
inline QJsonObject withoutZeros(QJsonObject object) {
    for (const QString& key : object.keys()) {
        if (object.value(key) == QJsonValue(0)) {
            object.remove(key);
        } else if (object.value(key).isObject()) {
            object.insert(key, withoutZeros(object.value(key).toObject()));
        }
    }
    return object;
}

// The commands print one JSON object a line: each without what is zero, or none (with a warning)
// when a line is not an object.
inline QList<QJsonObject> jsonLines(const QString& text) {
    QList<QJsonObject> result;
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
        if (error.error != QJsonParseError::NoError || !document.isObject()) {
            qWarning() << "not a JSON object:" << line << error.errorString();
            return {};
        }
        result.append(withoutZeros(document.object()));
    }
    return result;
}
