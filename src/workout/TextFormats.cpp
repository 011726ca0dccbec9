// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#include "workout/TextFormats.h"

#include "workout/WorkoutSummary.h"

#include <QBuffer>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace tallyfin {

namespace {

constexpr auto tcxNamespace = "http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2"_L1;
constexpr auto extensionNamespace = "http://www.garmin.com/xmlschemas/ActivityExtension/v2"_L1;

// Fixed-point numbers in the C locale, whatever the user's: files are read by programs.
QString fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

QString utcText(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODate);
}

// The schema knows Biking, Running and Other.
QString tcxSport(EquipmentType kind) {
    switch (kind) {
    case EquipmentType::bike:
        return u"Biking"_s;
    case EquipmentType::treadmill:
        return u"Running"_s;
    case EquipmentType::rower:
    case EquipmentType::crossTrainer:
    case EquipmentType::unknown:
        break;
    }
    return u"Other"_s;
}

void heartRate(QXmlStreamWriter& xml, const QString& element, double bpm) {
    xml.writeStartElement(element);
    xml.writeTextElement(u"Value"_s, QString::number(std::clamp(std::lround(bpm), 1L, 255L)));
    xml.writeEndElement();
}

void trackpoint(QXmlStreamWriter& xml, const Workout& workout, const WorkoutSample& sample,
                const WorkoutSummary& summary) {
    xml.writeStartElement(u"Trackpoint"_s);
    xml.writeTextElement(u"Time"_s, utcText(workout.timeOf(sample)));
    xml.writeTextElement(u"DistanceMeters"_s, fixed(double(sample.distance) / 100, 2));
    if (sample.heartRate > 0) {
        heartRate(xml, u"HeartRateBpm"_s, sample.heartRate);
    }
    if (summary.hasRate) {
        xml.writeTextElement(u"Cadence"_s, QString::number(std::min(sample.rate, 254)));
    }
    xml.writeStartElement(u"Extensions"_s);
    xml.writeStartElement(extensionNamespace, u"TPX"_s);
    xml.writeTextElement(extensionNamespace, u"Speed"_s, fixed(double(sample.speed) / 1000, 3));
    if (summary.hasPower) {
        xml.writeTextElement(extensionNamespace, u"Watts"_s, QString::number(sample.power));
    }
    xml.writeEndElement(); // TPX
    xml.writeEndElement(); // Extensions
    xml.writeEndElement(); // Trackpoint
}

} // namespace

QByteArray encodeTcx(const Workout& workout) {
    const WorkoutSummary summary = summarize(workout);
    const QDateTime first =
        workout.samples.isEmpty() ? workout.start : workout.timeOf(workout.samples.first());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter xml(&buffer);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(tcxNamespace);
    xml.writeNamespace(extensionNamespace, u"ns3"_s);
    xml.writeStartElement(tcxNamespace, u"TrainingCenterDatabase"_s);
    xml.writeStartElement(u"Activities"_s);
    xml.writeStartElement(u"Activity"_s);
    xml.writeAttribute(u"Sport"_s, tcxSport(workout.kind));
    xml.writeTextElement(u"Id"_s, utcText(first));
    xml.writeStartElement(u"Lap"_s);
    xml.writeAttribute(u"StartTime"_s, utcText(first));
    xml.writeTextElement(u"TotalTimeSeconds"_s, QString::number(summary.movingSeconds));
    xml.writeTextElement(u"DistanceMeters"_s, fixed(summary.distance, 2));
    if (summary.hasSpeed) {
        xml.writeTextElement(u"MaximumSpeed"_s, fixed(summary.maximumSpeed, 3));
    }
    xml.writeTextElement(u"Calories"_s, QString::number(std::min(summary.calories, 65535)));
    if (summary.hasHeartRate) {
        heartRate(xml, u"AverageHeartRateBpm"_s, summary.averageHeartRate);
        heartRate(xml, u"MaximumHeartRateBpm"_s, summary.maximumHeartRate);
    }
    xml.writeTextElement(u"Intensity"_s, u"Active"_s);
    if (summary.hasRate) {
        xml.writeTextElement(u"Cadence"_s,
                             QString::number(std::min(std::lround(summary.averageRate), 254L)));
    }
    xml.writeTextElement(u"TriggerMethod"_s, u"Manual"_s);
    const WorkoutSample* previous = nullptr;
    for (const WorkoutSample& sample : workout.samples) {
        if (!previous || Workout::isPause(*previous, sample)) {
            if (previous) {
                xml.writeEndElement(); // the track before the pause
            }
            xml.writeStartElement(u"Track"_s);
        }
        trackpoint(xml, workout, sample, summary);
        previous = &sample;
    }
    if (previous) {
        xml.writeEndElement(); // Track
    }
    xml.writeStartElement(u"Extensions"_s);
    xml.writeStartElement(extensionNamespace, u"LX"_s);
    xml.writeTextElement(extensionNamespace, u"AvgSpeed"_s, fixed(summary.averageSpeed, 3));
    if (summary.hasPower) {
        xml.writeTextElement(extensionNamespace, u"AvgWatts"_s,
                             QString::number(std::lround(summary.averagePower)));
        xml.writeTextElement(extensionNamespace, u"MaxWatts"_s,
                             QString::number(summary.maximumPower));
    }
    xml.writeEndElement(); // LX
    xml.writeEndElement(); // Extensions
    xml.writeEndElement(); // Lap
    xml.writeEndElement(); // Activity
    xml.writeEndElement(); // Activities
    xml.writeEndElement(); // TrainingCenterDatabase
    xml.writeEndDocument();
    return bytes;
}

QByteArray encodeCsv(const Workout& workout) {
    QByteArray csv = "time,elapsed_s,distance_m,speed_m_s,cadence_per_min,power_w,heart_rate_bpm,"
                     "calories_kcal,strokes,ascent_m,incline_percent\n";
    csv.reserve(csv.size() + workout.samples.size() * 72);
    for (const WorkoutSample& s : workout.samples) {
        csv += utcText(workout.timeOf(s)).toLatin1() + ',' + QByteArray::number(s.time) + ',' +
               QByteArray::number(double(s.distance) / 100, 'f', 2) + ',' +
               QByteArray::number(double(s.speed) / 1000, 'f', 3) + ',' +
               QByteArray::number(s.rate) + ',' + QByteArray::number(s.power) + ',' +
               (s.heartRate > 0 ? QByteArray::number(s.heartRate) : QByteArray()) + ',' +
               QByteArray::number(s.calories) + ',' + QByteArray::number(s.strokes) + ',' +
               QByteArray::number(double(s.ascent) / 10, 'f', 1) + ',' +
               QByteArray::number(double(s.incline) / 10, 'f', 1) + '\n';
    }
    return csv;
}

} // namespace tallyfin
