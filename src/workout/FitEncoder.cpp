// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#include "workout/FitEncoder.h"

#include "tallyfin/BuildInfo.h"
#include "workout/WorkoutSummary.h"

#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

using namespace Qt::StringLiterals;

namespace tallyfin::fit {

namespace {

// Base types of the FIT protocol.
enum BaseType : quint8 {
    enum8 = 0x00,
    uint8 = 0x02,
    sint16 = 0x83,
    uint16 = 0x84,
    uint32 = 0x86,
    string = 0x07,
    uint32z = 0x8C,
};

// Global message numbers of the profile.
enum Message : quint16 {
    fileId = 0,
    session = 18,
    lap = 19,
    record = 20,
    event = 21,
    deviceInfo = 23,
    activity = 34,
};

// Values of the profile's enumerations used here.
constexpr quint8 fileActivity = 4;
constexpr quint16 manufacturerDevelopment = 255;
constexpr quint16 product = 1;
constexpr quint8 eventTimer = 0, eventSession = 8, eventLap = 9, eventActivity = 26;
constexpr quint8 eventStart = 0, eventStop = 1, eventStopAll = 4;
constexpr quint8 activityManual = 0;
constexpr quint16 profileVersion = 2140;  // 21.40
constexpr quint8 protocolVersion = 0x20;  // 2.0
constexpr qint64 epochOffset = 631065600; // 1989-12-31T00:00:00Z in Unix seconds
constexpr int nameSize = 32;              // bytes for the machine's name, with its terminating zero

constexpr quint8 invalid8 = 0xFF;
constexpr quint16 invalid16 = 0xFFFF;
constexpr quint32 invalid32 = 0xFFFFFFFF;
constexpr qint16 invalidS16 = 0x7FFF;

struct Field {
    quint8 number;
    quint8 size;
    quint8 type;
};

// The messages written, each with its local message type.
struct Layout {
    quint8 local;
    Message global;
    std::initializer_list<Field> fields;
};

const Layout fileIdLayout{
    0, fileId, {{0, 1, enum8}, {1, 2, uint16}, {2, 2, uint16}, {3, 4, uint32z}, {4, 4, uint32}}};
const Layout deviceInfoLayout{1,
                              deviceInfo,
                              {{253, 4, uint32},
                               {0, 1, uint8},
                               {2, 2, uint16},
                               {4, 2, uint16},
                               {5, 2, uint16},
                               {27, nameSize, string}}};
const Layout eventLayout{2, event, {{253, 4, uint32}, {0, 1, enum8}, {1, 1, enum8}}};
const Layout recordLayout{3,
                          record,
                          {{253, 4, uint32},
                           {5, 4, uint32},
                           {6, 2, uint16},
                           {7, 2, uint16},
                           {3, 1, uint8},
                           {4, 1, uint8},
                           {33, 2, uint16},
                           {9, 2, sint16},
                           {19, 4, uint32}}};
// Lap and session share their totals; only the field numbers differ.
const Layout lapLayout{
    4, lap, {{253, 4, uint32}, {254, 2, uint16}, {0, 1, enum8},   {1, 1, enum8},   {2, 4, uint32},
             {25, 1, enum8},   {39, 1, enum8},   {7, 4, uint32},  {8, 4, uint32},  {9, 4, uint32},
             {10, 4, uint32},  {11, 2, uint16},  {13, 2, uint16}, {14, 2, uint16}, {15, 1, uint8},
             {16, 1, uint8},   {17, 1, uint8},   {18, 1, uint8},  {19, 2, uint16}, {20, 2, uint16},
             {21, 2, uint16}}};
const Layout sessionLayout{
    5, session, {{253, 4, uint32}, {254, 2, uint16}, {0, 1, enum8},   {1, 1, enum8},
                 {2, 4, uint32},   {5, 1, enum8},    {6, 1, enum8},   {7, 4, uint32},
                 {8, 4, uint32},   {9, 4, uint32},   {10, 4, uint32}, {11, 2, uint16},
                 {14, 2, uint16},  {15, 2, uint16},  {16, 1, uint8},  {17, 1, uint8},
                 {18, 1, uint8},   {19, 1, uint8},   {20, 2, uint16}, {21, 2, uint16},
                 {22, 2, uint16},  {25, 2, uint16},  {26, 2, uint16}}};
const Layout activityLayout{6,
                            activity,
                            {{253, 4, uint32},
                             {0, 4, uint32},
                             {1, 2, uint16},
                             {2, 1, enum8},
                             {3, 1, enum8},
                             {4, 1, enum8},
                             {5, 4, uint32}}};

class Stream {
public:
    void define(const Layout& layout) {
        m_data.append(char(0x40 | layout.local));
        m_data.append(char(0)); // reserved
        m_data.append(char(0)); // little-endian
        u16(layout.global);
        m_data.append(char(layout.fields.size()));
        for (const Field& field : layout.fields) {
            m_data.append(char(field.number));
            m_data.append(char(field.size));
            m_data.append(char(field.type));
        }
    }
    void begin(const Layout& layout) { m_data.append(char(layout.local)); }
    void u8(quint8 value) { m_data.append(char(value)); }
    void u16(quint16 value) {
        const quint16 le = qToLittleEndian(value);
        m_data.append(reinterpret_cast<const char*>(&le), 2);
    }
    void u32(quint32 value) {
        const quint32 le = qToLittleEndian(value);
        m_data.append(reinterpret_cast<const char*>(&le), 4);
    }
    // A zero-terminated UTF-8 text in `size` bytes, cut at a character boundary.
    void text(const QString& value, int size) {
        QByteArray bytes = value.toUtf8();
        if (bytes.size() > size - 1) {
            bytes.truncate(size - 1);
            while (!bytes.isEmpty() && (quint8(bytes.back()) & 0xC0) == 0x80) {
                bytes.chop(1); // a continuation byte: drop the partial character
            }
            if (!bytes.isEmpty() && (quint8(bytes.back()) & 0xC0) == 0xC0) {
                bytes.chop(1); // a lead byte whose continuation was cut off
            }
        }
        bytes.append(QByteArray(size - bytes.size(), '\0'));
        m_data.append(bytes);
    }
    QByteArray& data() { return m_data; }

private:
    QByteArray m_data;
};

quint8 byteOr(bool present, double value) {
    return present ? quint8(std::clamp<long long>(std::llround(value), 0, 254)) : invalid8;
}

quint16 shortOr(bool present, double value) {
    return present ? quint16(std::clamp<long long>(std::llround(value), 0, 65534)) : invalid16;
}

quint32 milliseconds(qint32 seconds) {
    return quint32(seconds) * 1000;
}

// The totals a lap and a session carry, in the order of their layouts after sport and sub-sport.
void totals(Stream& out, const WorkoutSummary& s) {
    out.u32(milliseconds(s.elapsedSeconds));
    out.u32(milliseconds(s.movingSeconds));
    out.u32(quint32(std::llround(s.distance * 100)));
    out.u32(s.strokes > 0 ? quint32(s.strokes) : invalid32);
    out.u16(shortOr(true, s.calories));
}

void averages(Stream& out, const WorkoutSummary& s) {
    out.u8(byteOr(s.hasHeartRate, s.averageHeartRate));
    out.u8(byteOr(s.hasHeartRate, s.maximumHeartRate));
    out.u8(byteOr(s.hasRate, s.averageRate));
    out.u8(byteOr(s.hasRate, s.maximumRate));
    out.u16(shortOr(s.hasPower, s.averagePower));
    out.u16(shortOr(s.hasPower, s.maximumPower));
    out.u16(shortOr(s.hasIncline, s.ascent));
}

void speeds(Stream& out, const WorkoutSummary& s) {
    out.u16(shortOr(s.hasSpeed, s.averageSpeed * 1000));
    out.u16(shortOr(s.hasSpeed, s.maximumSpeed * 1000));
}

void timerEvent(Stream& out, quint32 time, quint8 type) {
    out.begin(eventLayout);
    out.u32(time);
    out.u8(eventTimer);
    out.u8(type);
}

// The profile's software_version has a scale of 100: "0.1.0" is 10, "1.2.0" is 102.
quint16 softwareVersion() {
    const QStringList parts = QString::fromLatin1(buildinfo::shortVersion).split(u'.');
    return quint16(std::clamp(parts.value(0).toInt() * 100 + parts.value(1).toInt(), 0, 65534));
}

} // namespace

quint16 crc16(QByteArrayView bytes, quint16 crc) {
    static constexpr std::array<quint16, 16> table{0x0000, 0xCC01, 0xD801, 0x1400, 0xF001, 0x3C00,
                                                   0x2800, 0xE401, 0xA001, 0x6C00, 0x7800, 0xB401,
                                                   0x5000, 0x9C01, 0x8801, 0x4400};
    for (const char c : bytes) {
        const auto byte = quint8(c);
        quint16 tmp = table[crc & 0xF];
        crc = (crc >> 4) & 0x0FFF;
        crc = crc ^ tmp ^ table[byte & 0xF];
        tmp = table[crc & 0xF];
        crc = (crc >> 4) & 0x0FFF;
        crc = crc ^ tmp ^ table[(byte >> 4) & 0xF];
    }
    return crc;
}

quint32 timestamp(const QDateTime& time) {
    return quint32(std::max<qint64>(0, time.toSecsSinceEpoch() - epochOffset));
}

Sport sportOf(EquipmentType kind) {
    switch (kind) {
    case EquipmentType::bike:
        return {2, 6}; // cycling, indoor_cycling
    case EquipmentType::rower:
        return {15, 14}; // rowing, indoor_rowing
    case EquipmentType::treadmill:
        return {1, 1}; // running, treadmill
    case EquipmentType::crossTrainer:
        return {4, 15}; // fitness_equipment, elliptical
    case EquipmentType::unknown:
        break;
    }
    return {0, 0}; // generic
}

QByteArray encode(const Workout& workout) {
    const WorkoutSummary summary = summarize(workout);
    const Sport sport = sportOf(workout.kind);
    const quint32 start = timestamp(workout.start);
    const quint32 end = workout.samples.isEmpty() ? start : start + workout.samples.last().time;
    const quint32 first = workout.samples.isEmpty() ? start : start + workout.samples.first().time;
    Stream out;

    out.define(fileIdLayout);
    out.begin(fileIdLayout);
    out.u8(fileActivity);
    out.u16(manufacturerDevelopment);
    out.u16(product);
    out.u32(qMax<quint32>(1, start)); // serial number: unique enough for one person's files
    out.u32(start);

    // This program first, then the machine it recorded.
    out.define(deviceInfoLayout);
    for (quint8 index = 0; index < 2; ++index) {
        out.begin(deviceInfoLayout);
        out.u32(start);
        out.u8(index);
        out.u16(index == 0 ? manufacturerDevelopment : invalid16);
        out.u16(index == 0 ? product : invalid16);
        out.u16(index == 0 ? softwareVersion() : invalid16);
        out.text(index == 0 ? u"Tallyfin"_s : workout.machineName, nameSize);
    }

    out.define(eventLayout);
    out.define(recordLayout);
    timerEvent(out, first, eventStart);
    const WorkoutSample* previous = nullptr;
    for (const WorkoutSample& sample : workout.samples) {
        const quint32 time = start + quint32(sample.time);
        if (previous && Workout::isPause(*previous, sample)) {
            timerEvent(out, start + quint32(previous->time), eventStopAll);
            timerEvent(out, time, eventStart);
        }
        out.begin(recordLayout);
        out.u32(time);
        out.u32(quint32(sample.distance));
        out.u16(shortOr(summary.hasSpeed, sample.speed));
        out.u16(shortOr(summary.hasPower, sample.power));
        out.u8(sample.heartRate > 0 ? byteOr(true, sample.heartRate) : invalid8);
        out.u8(byteOr(summary.hasRate, sample.rate));
        out.u16(shortOr(true, sample.calories));
        // Grade in hundredths of a percent; the incline is kept in tenths.
        out.u16(summary.hasIncline ? quint16(qint16(std::clamp(qint64(sample.incline) * 10,
                                                               qint64(-32767), qint64(32766))))
                                   : quint16(invalidS16));
        out.u32(summary.strokes > 0 ? quint32(sample.strokes) : invalid32);
        previous = &sample;
    }
    timerEvent(out, end, eventStopAll);

    out.define(lapLayout);
    out.begin(lapLayout);
    out.u32(end);
    out.u16(0);
    out.u8(eventLap);
    out.u8(eventStop);
    out.u32(first);
    out.u8(sport.sport);
    out.u8(sport.subSport);
    totals(out, summary);
    speeds(out, summary);
    averages(out, summary);

    out.define(sessionLayout);
    out.begin(sessionLayout);
    out.u32(end);
    out.u16(0);
    out.u8(eventSession);
    out.u8(eventStop);
    out.u32(first);
    out.u8(sport.sport);
    out.u8(sport.subSport);
    totals(out, summary);
    speeds(out, summary);
    averages(out, summary);
    out.u16(0); // first lap index
    out.u16(1); // number of laps

    const QDateTime endTime = QDateTime::fromSecsSinceEpoch(qint64(end) + epochOffset, Qt::UTC);
    out.define(activityLayout);
    out.begin(activityLayout);
    out.u32(end);
    out.u32(milliseconds(summary.movingSeconds));
    out.u16(1);
    out.u8(activityManual);
    out.u8(eventActivity);
    out.u8(eventStop);
    out.u32(end + quint32(endTime.toLocalTime().offsetFromUtc()));

    const QByteArray& records = out.data();
    QByteArray file;
    file.reserve(14 + records.size() + 2);
    Stream header;
    header.u8(14);
    header.u8(protocolVersion);
    header.u16(profileVersion);
    header.u32(quint32(records.size()));
    header.data().append(".FIT");
    header.u16(crc16(header.data()));
    file = header.data() + records;
    Stream trailer;
    trailer.u16(crc16(file));
    return file + trailer.data();
}

} // namespace tallyfin::fit
