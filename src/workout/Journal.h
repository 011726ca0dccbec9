// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#pragma once

#include "workout/Workout.h"

#include <QByteArray>
#include <QFile>
#include <QLockFile>

#include <memory>
#include <optional>

namespace tallyfin::journal {

// The journal of a workout being recorded: an append-only text file, one header line and one
// line of ten whole numbers a second (about 40 bytes), so that a crash or a power cut loses only
// what was not flushed yet, and a cut last line is easy to tell:
//
//   TALLYFIN-JOURNAL 1 bike 2026-12-06T18:05:10Z 5e2c…-0001 Demo%20Bike
//   0,0,8333,90,250,0,0,0,0,0
//
// The header names the kind, the start (UTC), the machine's identifier and its name
// (percent-encoded, "-" when empty); each sample line holds the fields of WorkoutSample in order.
inline constexpr QByteArrayView magic = "TALLYFIN-JOURNAL";
inline constexpr int version = 1;

QByteArray headerLine(const Workout& workout);
QByteArray sampleLine(const WorkoutSample& sample);
// Whether the bytes begin like a journal.
bool looksLikeJournal(QByteArrayView bytes);

struct ReadResult {
    std::optional<Workout> workout; // nullopt when not even the header could be read
    QString error;                  // why there is no workout, or what was damaged
    int damagedLines = 0;           // complete lines that were not a valid sample
    bool cutAtEnd = false;          // the last line stops mid-sample (and is left out)

    // Every complete line read: a journal a crash ended is only cut at its end.
    bool isIntact() const { return workout && damagedLines == 0; }
};

// Reads a journal; never fails on bad bytes: damaged lines are counted and skipped.
ReadResult parse(QByteArrayView bytes);
ReadResult readFile(const QString& path);

// The lock a recording holds on its journal ("….journal.lock"), so that another process's start-up
// export leaves a journal alone while it is written; a lock left by a crashed process is stale and
// taken over.
std::unique_ptr<QLockFile> lockJournal(const QString& path);

// Appends a workout's samples to its journal, flushing to the disk at most every
// `flushIntervalMs` of the recording's own clock. Write errors are reported, not fatal: what
// could not be written stays buffered for the next flush, and the recording keeps every sample
// in memory anyway.
class Writer {
public:
    explicit Writer(qint64 flushIntervalMs = 5000)
        : m_flushIntervalMs(flushIntervalMs) {}
    ~Writer();

    // Creates the journal with the workout's header; false with errorString() when it cannot.
    bool open(const QString& path, const Workout& workout);
    void setFlushInterval(qint64 ms) { m_flushIntervalMs = ms; }
    bool isOpen() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }
    // Buffers the samples; flushes when the interval has passed since the last flush. False when
    // a flush failed.
    bool append(const QList<WorkoutSample>& samples, qint64 nowMs);
    // Writes the buffer and asks the system to put it on the disk.
    bool flush();
    void close();
    QString errorString() const { return m_error; }
    qsizetype pendingBytes() const { return m_buffer.size(); }

private:
    QFile m_file;
    std::unique_ptr<QLockFile> m_lock;
    QByteArray m_buffer;
    qint64 m_flushIntervalMs;
    std::optional<qint64> m_lastFlushMs;
    QString m_error;
};

} // namespace tallyfin::journal
