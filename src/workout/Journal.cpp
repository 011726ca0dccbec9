// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#include "workout/Journal.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <array>
#include <charconv>
#include <cstdlib>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tallyfin::journal {

namespace {

constexpr int fieldCount = 10;

// Percent-encoded, "-" when empty (a text that is only a dash is encoded, so it stays itself).
QByteArray orDash(const QString& text) {
    return text.isEmpty() ? QByteArrayLiteral("-") : QUrl::toPercentEncoding(text, {}, "-");
}

QString fromDash(QByteArrayView text) {
    return text == "-" ? QString() : QUrl::fromPercentEncoding(text.toByteArray());
}

std::optional<Workout> parseHeader(QByteArrayView line, QString& error) {
    const QList<QByteArray> words = line.toByteArray().split(' ');
    if (words.size() != 6 || words[0] != magic) {
        error = QStringLiteral("not a Tallyfin journal (no header line)");
        return std::nullopt;
    }
    if (words[1] != QByteArray::number(version)) {
        error = u"journal version "_s % QString::fromLatin1(words[1]) % u" is not supported"_s;
        return std::nullopt;
    }
    Workout workout;
    const auto kind = equipmentTypeFromCaseName(QString::fromLatin1(words[2]));
    workout.start = QDateTime::fromString(QString::fromLatin1(words[3]), Qt::ISODate);
    if (!kind || *kind == EquipmentType::unknown || !workout.start.isValid()) {
        error = QStringLiteral("the journal's header names no machine kind or start time");
        return std::nullopt;
    }
    workout.kind = *kind;
    // Whole seconds, as written: the samples count from there.
    workout.start = QDateTime::fromSecsSinceEpoch(workout.start.toSecsSinceEpoch(), Qt::UTC);
    workout.deviceId = fromDash(words[4]);
    workout.machineName = fromDash(words[5]);
    return workout;
}

std::optional<WorkoutSample> parseSample(QByteArrayView line) {
    std::array<qint64, fieldCount> values{};
    const char* p = line.data();
    const char* end = line.data() + line.size();
    for (int i = 0; i < fieldCount; ++i) {
        const auto [next, ec] = std::from_chars(p, end, values[size_t(i)]);
        if (ec != std::errc() || next == p) {
            return std::nullopt;
        }
        const bool last = i == fieldCount - 1;
        if ((last && next != end) || (!last && (next == end || *next != ','))) {
            return std::nullopt;
        }
        p = next + 1;
    }
    constexpr qint64 limit = qint64(1) << 30;
    constexpr qint64 inclineLimit = 32768; // tenths of a percent, as a machine can send them
    for (size_t i = 0; i + 1 < values.size(); ++i) {
        if (values[i] > (i == 1 ? limit * 1000 : limit) || values[i] < 0) {
            return std::nullopt;
        }
    }
    if (std::abs(values[9]) > inclineLimit) { // the incline may point downhill
        return std::nullopt;
    }
    return WorkoutSample{qint32(values[0]), values[1],         qint32(values[2]), qint32(values[3]),
                         qint32(values[4]), qint32(values[5]), qint32(values[6]), qint32(values[7]),
                         qint32(values[8]), qint32(values[9])};
}

} // namespace

QByteArray headerLine(const Workout& workout) {
    return magic.toByteArray() + ' ' + QByteArray::number(version) + ' ' +
           caseName(workout.kind).toLatin1() + ' ' +
           workout.start.toUTC().toString(Qt::ISODate).toLatin1() + ' ' + orDash(workout.deviceId) +
           ' ' + orDash(workout.machineName) + '\n';
}

QByteArray sampleLine(const WorkoutSample& s) {
    QByteArray line;
    line.reserve(64);
    for (const qint64 value : {qint64(s.time), s.distance, qint64(s.speed), qint64(s.rate),
                               qint64(s.power), qint64(s.heartRate), qint64(s.calories),
                               qint64(s.strokes), qint64(s.ascent), qint64(s.incline)}) {
        line += QByteArray::number(value);
        line += ',';
    }
    line.back() = '\n';
    return line;
}

bool looksLikeJournal(QByteArrayView bytes) {
    return bytes.startsWith(magic);
}

ReadResult parse(QByteArrayView bytes) {
    ReadResult result;
    qsizetype lineEnd = bytes.indexOf('\n');
    if (lineEnd < 0) {
        result.error = bytes.isEmpty() ? QStringLiteral("the journal is empty")
                                       : QStringLiteral("the journal's header line is cut off");
        return result;
    }
    result.workout = parseHeader(bytes.first(lineEnd), result.error);
    if (!result.workout) {
        return result;
    }
    int number = 1;
    for (qsizetype start = lineEnd + 1; start < bytes.size(); start = lineEnd + 1) {
        ++number;
        lineEnd = bytes.indexOf('\n', start);
        if (lineEnd < 0) {
            result.cutAtEnd = true; // the sample being written when the program stopped
            break;
        }
        const auto sample = parseSample(bytes.sliced(start, lineEnd - start));
        auto& samples = result.workout->samples;
        if (!sample || (!samples.isEmpty() && sample->time <= samples.last().time)) {
            if (result.damagedLines++ == 0) {
                result.error = u"line "_s % QString::number(number) % u" is no sample"_s;
            }
            continue;
        }
        samples.append(*sample);
    }
    if (result.damagedLines > 1) {
        result.error +=
            u" (and "_s % QString::number(result.damagedLines - 1) % u" more damaged lines)"_s;
    }
    return result;
}

ReadResult readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ReadResult result;
        result.error = u"cannot read "_s % path % u": "_s % file.errorString();
        return result;
    }
    return parse(file.readAll());
}

std::unique_ptr<QLockFile> lockJournal(const QString& path) {
    auto lock = std::make_unique<QLockFile>(path + u".lock"_s);
    if (!lock->tryLock(0)) {
        return nullptr;
    }
    return lock;
}

Writer::~Writer() {
    close();
}

bool Writer::open(const QString& path, const Workout& workout) {
    close();
    m_error.clear();
    m_lastFlushMs.reset();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        m_error = u"cannot create the folder of "_s % path;
        return false;
    }
    m_lock = lockJournal(path);
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        m_error = u"cannot write "_s % path % u": "_s % m_file.errorString();
        return false;
    }
    m_buffer = headerLine(workout);
    return flush();
}

bool Writer::append(const QList<WorkoutSample>& samples, qint64 nowMs) {
    for (const WorkoutSample& sample : samples) {
        m_buffer += sampleLine(sample);
    }
    if (!m_lastFlushMs) {
        m_lastFlushMs = nowMs;
    }
    if (nowMs - *m_lastFlushMs < m_flushIntervalMs) {
        return true;
    }
    m_lastFlushMs = nowMs;
    return flush();
}

bool Writer::flush() {
    if (!m_file.isOpen()) {
        return false;
    }
    if (m_buffer.isEmpty()) {
        return true;
    }
    const qint64 written = m_file.write(m_buffer);
    if (written > 0) {
        m_buffer.remove(0, written);
    }
    if (written < 0 || !m_buffer.isEmpty() || !m_file.flush()) {
        m_error = u"cannot write "_s % m_file.fileName() % u": "_s % m_file.errorString();
        m_file.unsetError();
        return false;
    }
    // On the disk, not only in the system's cache: a power cut loses no more than an interval.
    ::fdatasync(m_file.handle());
    return true;
}

void Writer::close() {
    if (m_file.isOpen()) {
        flush();
        m_file.close();
    }
    m_lock.reset();
    m_buffer.clear();
}

} // namespace tallyfin::journal
