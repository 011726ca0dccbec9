// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#include "WorkoutTestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using namespace tallyfin;

namespace {

// Runs a program to its end; its output and errors joined.
int runProgram(const QString& program, const QStringList& arguments, QString& output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) {
        output = program + u" did not finish: "_s + process.errorString();
        return -1;
    }
    output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void exportWith(const QStringList& arguments) {
    QString output;
    const int status =
        runProgram(QStringLiteral(TALLYFIN_CLI), QStringList{u"export"_s} + arguments, output);
    QVERIFY2(status == 0, qPrintable(output));
}

// The readers written elsewhere read the FIT (and TCX) file and agree with the CSV.
void readersAgree(const QString& base, const QString& sport, const QString& subSport, bool tcx) {
    const QString node = qEnvironmentVariable("TALLYFIN_NODE");
    QVERIFY2(!node.isEmpty() && !node.endsWith(u"NOTFOUND"_s),
             "node is missing: install Node.js (scripts/deps) and run scripts/workout-readers");
    QStringList arguments{QStringLiteral(TALLYFIN_CHECK_WORKOUT), base + u".fit"_s,
                          base + u".csv"_s, sport, subSport};
    if (tcx) {
        arguments.append(base + u".tcx"_s);
    }
    QString output;
    const int status = runProgram(node, arguments, output);
    QVERIFY2(status == 0, qPrintable(output));
    qInfo().noquote() << output.trimmed();
}

} // namespace

class TestWorkoutReaders : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A demo ride on each kind of machine (one with a lost link and its pause), exported by the
    // real tallyfin-cli from the journal the recorder left and from the diagnostic log.
    void exportedFilesReadBack_data() {
        QTest::addColumn<EquipmentType>("kind");
        QTest::addColumn<QString>("sport");
        QTest::addColumn<QString>("subSport");
        QTest::addColumn<bool>("linkLost");
        QTest::newRow("bike, with a pause")
            << EquipmentType::bike << u"cycling"_s << u"indoorCycling"_s << true;
        QTest::newRow("rower") << EquipmentType::rower << u"rowing"_s << u"indoorRowing"_s << false;
        QTest::newRow("treadmill")
            << EquipmentType::treadmill << u"running"_s << u"treadmill"_s << false;
        QTest::newRow("cross trainer")
            << EquipmentType::crossTrainer << u"fitnessEquipment"_s << u"elliptical"_s << false;
    }
    void exportedFilesReadBack() {
        QFETCH(EquipmentType, kind);
        QFETCH(QString, sport);
        QFETCH(QString, subSport);
        QFETCH(bool, linkLost);
        QTemporaryDir dir;
        test::DemoRide ride(kind, dir.filePath(u"journal"_s));
        ride.recorder->setAutoExport(false);
        ride.connect();
        ride.run(50s);
        if (linkLost) {
            ride.disconnect();
            ride.run(20s);
            ride.connect();
        }
        ride.run(50s);
        const auto finished = ride.recorder->finish();
        QVERIFY(finished && finished->kept && QFile::exists(finished->journal));

        const QString journal = dir.filePath(u"journal-export"_s);
        for (const QString& format : {u".fit"_s, u".csv"_s, u".tcx"_s}) {
            exportWith({finished->journal, u"--to"_s, journal + format});
        }
        readersAgree(journal, sport, subSport, true);

        QFile log(dir.filePath(u"log.txt"_s));
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write(ride.manager->logText().toUtf8());
        log.close();
        const QString fromLog = dir.filePath(u"log-export"_s);
        for (const QString& format : {u".fit"_s, u".csv"_s}) {
            exportWith({log.fileName(), u"--date"_s, u"2026-03-01"_s, u"--to"_s, fromLog + format});
        }
        readersAgree(fromLog, sport, subSport, false);
    }
};

QTEST_GUILESS_MAIN(TestWorkoutReaders)
#include "tst_workoutreaders.moc"
