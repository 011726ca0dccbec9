#pragma once

// Shared by the decoder tests: hex input, a record with a distinct value in every field (so a
// field a value does not carry can be seen to keep its value), and an exact field-by-field check.

#include "ftms/FTMSDataParser.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMetaProperty>
#include <QTest>
#include <QVariant>

#include <cstring>

namespace tallyfin::testing {

using Values = QList<QByteArray>;
using Changes = QMap<QByteArray, QVariant>;

inline QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

inline Values values(std::initializer_list<const char*> texts) {
    Values list;
    for (const char* text : texts) {
        list.append(hex(text));
    }
    return list;
}

// Every field set and distinct, as after earlier notifications.
inline FitnessMetrics seededMetrics() {
    FitnessMetrics m;
    m.equipmentType = EquipmentType::unknown;
    m.power = 101;
    m.distance = 102.5;
    m.speed = 103.5;
    m.totalTime = 104;
    m.calories = 105;
    m.heartRate = 106;
    m.strokeRate = 107;
    m.strokeCount = 108;
    m.cadence = 109;
    m.resistance = 110.5;
    m.stepRate = 111;
    m.strideCount = 112;
    m.incline = 113.5;
    return m;
}

// `base` with the named fields replaced.
inline FitnessMetrics withChanges(FitnessMetrics base, const Changes& changes) {
    const QMetaObject& meta = FitnessMetrics::staticMetaObject;
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        const int index = meta.indexOfProperty(it.key().constData());
        Q_ASSERT_X(index >= 0, "withChanges", "no such field");
        meta.property(index).writeOnGadget(&base, it.value());
    }
    return base;
}

// Compares all fourteen fields; doubles must match bit for bit, since the conversions are fixed
// to the operation.
inline bool sameRecord(const FitnessMetrics& actual, const FitnessMetrics& expected,
                       QString& difference) {
    const QMetaObject& meta = FitnessMetrics::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        const QVariant a = property.readOnGadget(&actual);
        const QVariant e = property.readOnGadget(&expected);
        bool equal = false;
        if (property.metaType() == QMetaType::fromType<double>()) {
            const double ad = a.toDouble();
            const double ed = e.toDouble();
            equal = std::memcmp(&ad, &ed, sizeof ad) == 0;
        } else {
            equal = a == e;
        }
        if (!equal) {
            difference = QString::fromLatin1(property.name()) + u": got " +
                         QString::number(a.toDouble(), 'g', 17) + u", expected " +
                         QString::number(e.toDouble(), 'g', 17);
            return false;
        }
    }
    return true;
}

// Runs the rows of a decoder test: each value in turn merged into a seeded record.
inline void checkDecoding(const FTMSDataParsing& parser, EquipmentType type) {
    QFETCH(Values, input);
    QFETCH(Changes, changes);
    FitnessMetrics metrics = seededMetrics();
    for (const QByteArray& value : input) {
        parser.parse(value, metrics);
    }
    FitnessMetrics expected = withChanges(seededMetrics(), changes);
    expected.equipmentType = type;
    QString difference;
    QVERIFY2(sameRecord(metrics, expected, difference), qPrintable(difference));
}

inline void addDecodingColumns() {
    QTest::addColumn<Values>("input");
    QTest::addColumn<Changes>("changes");
}

// The conversions as the decoders must do them, in double precision.
inline double kmhHundredthsToMps(int raw) {
    return static_cast<double>(raw) / 100.0 / 3.6;
}
inline double tenths(int raw) {
    return static_cast<double>(raw) * 0.1;
}

} // namespace tallyfin::testing
