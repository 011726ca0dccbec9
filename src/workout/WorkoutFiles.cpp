// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#include "workout/WorkoutFiles.h"

#include "workout/FitEncoder.h"
#include "workout/Journal.h"
#include "workout/TextFormats.h"
#include "workout/WorkoutLogging.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace tallyfin {

std::optional<WorkoutFormat> formatForPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const WorkoutFormat format :
         {WorkoutFormat::fit, WorkoutFormat::tcx, WorkoutFormat::csv}) {
        if (suffix == extension(format)) {
            return format;
        }
    }
    return std::nullopt;
}

QString extension(WorkoutFormat format) {
    switch (format) {
    case WorkoutFormat::fit:
        return u"fit"_s;
    case WorkoutFormat::tcx:
        return u"tcx"_s;
    case WorkoutFormat::csv:
        break;
    }
    return u"csv"_s;
}

QByteArray encodeWorkout(const Workout& workout, WorkoutFormat format) {
    switch (format) {
    case WorkoutFormat::fit:
        return fit::encode(workout);
    case WorkoutFormat::tcx:
        return encodeTcx(workout);
    case WorkoutFormat::csv:
        break;
    }
    return encodeCsv(workout);
}

QString defaultJournalFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           u"/tallyfin/journal"_s;
}

QString defaultWorkoutsFolder() {
    QString documents;
    const QString tool = QStandardPaths::findExecutable(u"xdg-user-dir"_s);
    if (!tool.isEmpty()) {
        QProcess process;
        process.start(tool, {u"DOCUMENTS"_s});
        if (process.waitForFinished(2000) && process.exitCode() == 0) {
            documents = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
        }
    }
    if (documents.isEmpty()) {
        documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
    return documents + u"/Tallyfin"_s;
}

QString workoutFileName(const Workout& workout, WorkoutFormat format) {
    return workout.start.toLocalTime().toString(u"yyyy-MM-dd_HH-mm-ss"_s) + u'_' +
           caseName(workout.kind) + u'.' + extension(format);
}

QString journalFileName(const Workout& workout) {
    return workout.start.toUTC().toString(u"yyyyMMdd'T'HHmmss'Z'"_s) + u'_' +
           caseName(workout.kind) + u".journal"_s;
}

bool writeWorkoutFile(const Workout& workout, const QString& path, WorkoutFormat format,
                      QString* error) {
    const auto fail = [&](const QString& reason) {
        const QString message = u"cannot write "_s + path + u": "_s + reason;
        qCWarning(lcWorkout).noquote() << message;
        if (error) {
            *error = message;
        }
        return false;
    };
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        return fail(u"the folder "_s + folder + u" cannot be created"_s);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(file.errorString());
    }
    const QByteArray bytes = encodeWorkout(workout, format);
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit()) {
        return fail(file.errorString());
    }
    return true;
}

ExportResult exportWorkout(const Workout& workout, const QString& folder,
                           const QList<WorkoutFormat>& formats) {
    ExportResult result;
    for (const WorkoutFormat format : formats) {
        const QString path = QDir(folder).filePath(workoutFileName(workout, format));
        QString error;
        if (writeWorkoutFile(workout, path, format, &error)) {
            result.files.append(path);
        } else if (result.error.isEmpty()) {
            result.error = error;
        }
    }
    return result;
}

QList<RecoveredJournal> recoverJournals(const QString& journalFolder, const QString& folder,
                                        const QList<WorkoutFormat>& formats, const QString& skip) {
    QList<RecoveredJournal> recovered;
    const QFileInfoList journals =
        QDir(journalFolder).entryInfoList({u"*.journal"_s}, QDir::Files, QDir::Name);
    for (const QFileInfo& info : journals) {
        if (!skip.isEmpty() && info.absoluteFilePath() == QFileInfo(skip).absoluteFilePath()) {
            continue;
        }
        RecoveredJournal entry;
        entry.journal = info.absoluteFilePath();
        const auto lock = journal::lockJournal(entry.journal);
        if (!lock) {
            continue; // being recorded by another process
        }
        const journal::ReadResult read = journal::readFile(entry.journal);
        if (!read.isIntact()) {
            entry.error = u"journal "_s + entry.journal + u" is damaged ("_s + read.error +
                          u"); it stays for an export by hand"_s;
            qCWarning(lcWorkout).noquote() << entry.error;
        } else if (!read.workout->isLongEnoughToKeep()) {
            entry.removed = QFile::remove(entry.journal);
            qCInfo(lcWorkout).noquote()
                << "journal" << entry.journal << "held less than a minute: removed";
        } else {
            const ExportResult exported = exportWorkout(*read.workout, folder, formats);
            entry.files = exported.files;
            if (exported.ok()) {
                entry.removed = QFile::remove(entry.journal);
                qCInfo(lcWorkout).noquote()
                    << "journal" << entry.journal << "recovered into" << entry.files.join(u", "_s)
                    << (read.cutAtEnd ? "(its last sample was cut off)" : "");
            } else {
                entry.error = exported.error + u"; journal "_s + entry.journal + u" stays"_s;
                qCWarning(lcWorkout).noquote() << entry.error;
            }
        }
        recovered.append(entry);
    }
    return recovered;
}

} // namespace tallyfin
