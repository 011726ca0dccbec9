// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
#include "WorkoutTestSupport.h"
#include "workout/FitEncoder.h"
#include "workout/Journal.h"
#include "workout/WorkoutBuilder.h"
#include "workout/WorkoutFiles.h"
#include "workout/WorkoutSummary.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using namespace tallyfin;

namespace {

const QDateTime start(QDate(2026, 3, 1), QTime(7, 30), Qt::UTC);

FitnessMetrics bike(double distance, qint64 power = 200, qint64 heartRate = 0) {
    FitnessMetrics m;
    m.equipmentType = EquipmentType::bike;
    m.distance = distance;
    m.speed = 8;
    m.power = power;
    m.cadence = 90;
    m.heartRate = heartRate;
    return m;
}

// A journal of `seconds` samples at 1 Hz, as a recording leaves it.
QByteArray journalOf(int seconds) {
    WorkoutBuilder builder(EquipmentType::bike, u"Bike"_s, u"id"_s, start);
    for (int t = 0; t < seconds; ++t) {
        builder.observe(start.addSecs(t), bike(t * 8.0));
    }
    QByteArray bytes = journal::headerLine(builder.workout());
    for (const WorkoutSample& s : builder.workout().samples) {
        bytes += journal::sampleLine(s);
    }
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestWorkout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Values arrive at these moments (seconds); which seconds get a sample.
    void samplesAndPauses_data() {
        QTest::addColumn<QList<double>>("updates");
        QTest::addColumn<QList<int>>("seconds");
        QTest::addColumn<int>("moving");
        QTest::newRow("four a second: one sample a second")
            << QList<double>{0, 0.25, 0.5, 0.75, 1, 1.25, 2.1} << QList<int>{0, 1, 2} << 2;
        QTest::newRow("a missed second holds the values")
            << QList<double>{0, 1, 3.2} << QList<int>{0, 1, 2, 3} << 3;
        QTest::newRow("silence is a pause, not zeros")
            << QList<double>{0, 1, 2, 12, 13} << QList<int>{0, 1, 2, 12, 13} << 3;
        QTest::newRow("before the start: nothing") << QList<double>{-2, 0} << QList<int>{0} << 0;
    }
    void samplesAndPauses() {
        QFETCH(QList<double>, updates);
        QFETCH(QList<int>, seconds);
        QFETCH(int, moving);
        WorkoutBuilder builder(EquipmentType::bike, {}, {}, start);
        for (const double at : updates) {
            builder.observe(start.addMSecs(qint64(at * 1000)), bike(at * 8));
        }
        QList<int> got;
        for (const WorkoutSample& s : builder.workout().samples) {
            got.append(s.time);
        }
        QCOMPARE(got, seconds);
        QCOMPARE(builder.workout().movingSeconds(), moving);
        // The tick adds nothing once the values are older than the silence limit.
        QVERIFY(builder.tick(start.addSecs(seconds.last() + 5)).isEmpty());
    }

    void countersStartAtZeroAndContinueAfterAMachineRestart() {
        WorkoutBuilder builder(EquipmentType::bike, {}, {}, start);
        builder.observe(start, bike(1000)); // the machine had counted before we connected
        builder.observe(start.addSecs(1), bike(1010));
        builder.observe(start.addSecs(20), bike(5)); // back after a lost link, counting anew
        const auto& samples = builder.workout().samples;
        QCOMPARE(samples.size(), 3);
        QCOMPARE(samples[0].distance, 0);
        QCOMPARE(samples[1].distance, 1000);
        QCOMPARE(samples[2].distance, 1500);
    }

    void summaryOfTheSamples() {
        Workout workout;
        workout.kind = EquipmentType::bike;
        workout.start = start;
        // time, distance cm, speed mm/s, rate, power, heart rate, kcal, strokes, ascent dm, incline
        workout.samples = {{0, 0, 8000, 80, 100, 0, 0, 0, 0, 0},
                           {1, 800, 9000, 90, 200, 120, 1, 0, 0, 0},
                           {2, 1700, 10000, 100, 300, 130, 2, 0, 0, 0},
                           {10, 2500, 7000, 70, 0, 110, 3, 0, 0, 0}};
        const WorkoutSummary s = summarize(workout);
        QCOMPARE(s.elapsedSeconds, 10);
        QCOMPARE(s.movingSeconds, 2);
        QCOMPARE(s.distance, 25.0);
        QCOMPARE(s.calories, 3);
        QCOMPARE(s.averagePower, 150.0); // zeros count: the rider stopped pedalling
        QCOMPARE(s.maximumPower, 300);
        QCOMPARE(s.averageHeartRate, 120.0); // only seconds with a reading
        QCOMPARE(s.maximumHeartRate, 130);
        QCOMPARE(s.averageSpeed, 8.5);
        QCOMPARE(s.maximumSpeed, 10.0);
        QCOMPARE(s.averageRate, 85.0);
        QVERIFY(s.hasPower && s.hasHeartRate && !s.hasIncline);
        // FIT's profile: sport and sub-sport by kind.
        QCOMPARE(fit::sportOf(EquipmentType::rower).subSport, 14);
        QCOMPARE(fit::sportOf(EquipmentType::treadmill).sport, 1);
        QCOMPARE(fit::sportOf(EquipmentType::crossTrainer).subSport, 15);
    }

    void journalIsFlushedEveryFewSecondsAndACutSampleIsLeftOut() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"a.journal"_s);
        WorkoutBuilder builder(EquipmentType::rower, u"Row 1"_s, u"id"_s, start);
        journal::Writer writer(5000);
        QVERIFY(writer.open(path, builder.workout()));
        const qint64 header = QFileInfo(path).size();
        for (int t = 0; t < 5; ++t) {
            QVERIFY(writer.append(builder.observe(start.addSecs(t), bike(t)), t * 1000));
        }
        QCOMPARE(QFileInfo(path).size(), header); // not yet: less than five seconds
        QVERIFY(writer.append(builder.observe(start.addSecs(5), bike(5)), 5000));
        QCOMPARE(writer.pendingBytes(), 0); // five seconds on: everything is on the disk
        writer.close();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(double(bytes.size() - header) / 6 <= 100);

        const journal::ReadResult whole = journal::parse(bytes);
        QVERIFY(whole.isIntact() && !whole.cutAtEnd);
        QCOMPARE(whole.workout->samples, builder.workout().samples);
        QCOMPARE(whole.workout->machineName, u"Row 1"_s);
        QCOMPARE(whole.workout->start, start);

        const journal::ReadResult cut = journal::parse(bytes.chopped(3));
        QVERIFY(cut.isIntact() && cut.cutAtEnd);
        QCOMPARE(cut.workout->samples, builder.workout().samples.first(5));

        QByteArray damaged = bytes;
        damaged.insert(bytes.indexOf('\n') + 1, "1,2,x\n");
        const journal::ReadResult bad = journal::parse(damaged);
        QVERIFY(!bad.isIntact());
        QCOMPARE(bad.workout->samples.size(), 6);
        QVERIFY2(bad.error.contains(u"line 2"_s), qPrintable(bad.error));
        QVERIFY(!journal::parse("TALLYFIN-JOURNAL 2 bike x - -\n").workout);
    }

    // What a crash leaves is exported at the next start; nothing is lost on the way.
    void journalsRecoveredAtStart() {
        QTemporaryDir dir;
        const QString journals = dir.filePath(u"journal"_s);
        QVERIFY(QDir().mkpath(journals));
        const QString cut = journals + u"/cut.journal"_s;
        const QString shortOne = journals + u"/short.journal"_s;
        const QString damaged = journals + u"/damaged.journal"_s;
        writeFile(cut, journalOf(90).chopped(4));
        writeFile(shortOne, journalOf(30));
        QByteArray bytes = journalOf(90);
        writeFile(damaged, bytes.insert(bytes.indexOf('\n') + 1, "garbage\n"));

        // A folder that cannot be made (its parent is a file): every journal stays.
        writeFile(dir.filePath(u"file"_s), "x");
        const auto failed =
            recoverJournals(journals, dir.filePath(u"file/Tallyfin"_s), {WorkoutFormat::fit});
        QCOMPARE(failed.size(), 3);
        QVERIFY2(failed[0].error.contains(u"cannot be created"_s), qPrintable(failed[0].error));
        QVERIFY(QFile::exists(cut) && QFile::exists(damaged));

        const QString folder = dir.filePath(u"Tallyfin"_s);
        const auto recovered =
            recoverJournals(journals, folder, {WorkoutFormat::fit, WorkoutFormat::csv});
        QCOMPARE(recovered.size(), 2); // the short one went the first time
        QCOMPARE(recovered[0].files.size(), 2);
        QVERIFY(recovered[0].removed && !QFile::exists(cut) && !QFile::exists(shortOne));
        QVERIFY(recovered[1].error.contains(u"damaged"_s) && QFile::exists(damaged));
        const QStringList written = QDir(folder).entryList(QDir::Files);
        QCOMPARE(written, QStringList({u"2026-03-01_13-00-00_bike.csv"_s,
                                       u"2026-03-01_13-00-00_bike.fit"_s}));
        QFile csv(folder + u'/' + written[0]);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll().count('\n'), 1 + 89); // the cut last sample is left out

        // Another process's recording holds its journal's lock: left alone.
        const QString busy = journals + u"/busy.journal"_s;
        writeFile(busy, journalOf(90));
        const auto lock = journal::lockJournal(busy);
        QVERIFY(lock);
        QCOMPARE(recoverJournals(journals, folder, {WorkoutFormat::fit}).size(), 1);
        QVERIFY(QFile::exists(busy));
    }

    // A lost link that comes back within the window continues the workout after a pause; the
    // end exports it and removes the journal.
    void recorderContinuesAfterALostLinkAndExportsAtTheEnd() {
        QTemporaryDir dir;
        test::DemoRide ride(EquipmentType::rower, dir.filePath(u"journal"_s));
        ride.recorder->setFolder(dir.filePath(u"Tallyfin"_s));
        ride.recorder->setFormatNames({u"fit"_s, u"TCX"_s, u"gpx"_s}); // as preferences hold them
        QSignalSpy finished(ride.recorder.get(), &WorkoutRecorder::workoutFinished);
        ride.connect();
        ride.run(40s);
        QVERIFY(ride.recorder->isRecording());
        const QString journal = ride.recorder->journalPath();
        QVERIFY(QFile::exists(journal));
        ride.disconnect();
        ride.run(30s);
        ride.connect();
        ride.run(40s);
        QCOMPARE(ride.recorder->journalPath(), journal);
        const WorkoutSummary live = ride.recorder->summary();
        QVERIFY(live.movingSeconds >= 75 && live.elapsedSeconds >= 105);
        QVERIFY(live.hasPower && live.distance > 0);

        const auto result = ride.recorder->finish();
        QVERIFY(result && result->kept && result->error.isEmpty());
        QCOMPARE(result->files.size(), 2);
        QVERIFY(!QFile::exists(journal));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].value<WorkoutSummary>().movingSeconds, live.movingSeconds);
        QVERIFY(!ride.recorder->isRecording());
    }

    // The user's own disconnect ends the workout at once: nothing waits for the machine.
    void userDisconnectEndsTheWorkout() {
        QTemporaryDir dir;
        test::DemoRide ride(EquipmentType::bike, dir.filePath(u"journal"_s));
        ride.recorder->setFolder(dir.filePath(u"Tallyfin"_s));
        QSignalSpy finished(ride.recorder.get(), &WorkoutRecorder::workoutFinished);
        ride.connect();
        ride.run(70s);
        ride.manager->disconnect();
        ride.run(500ms);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!ride.recorder->isRecording());
    }

    void recorderStartsAnewAfterTheWindowAndDropsShortWorkouts() {
        QTemporaryDir dir;
        test::DemoRide ride(EquipmentType::bike, dir.filePath(u"journal"_s));
        ride.recorder->setFolder(dir.filePath(u"Tallyfin"_s));
        ride.recorder->setResumeWindow(2min);
        QSignalSpy discarded(ride.recorder.get(), &WorkoutRecorder::workoutDiscarded);
        ride.connect();
        ride.run(20s);
        ride.disconnect();
        ride.run(150s);
        ride.connect(); // too late: the first workout is over, and too short to keep
        QCOMPARE(discarded.size(), 1);
        QVERIFY(ride.recorder->isRecording());
        QCOMPARE(QDir(dir.filePath(u"journal"_s)).entryList({u"*.journal"_s}, QDir::Files).size(),
                 1);
        QVERIFY(!QDir(dir.filePath(u"Tallyfin"_s)).exists());
    }

    void unwritableFolderKeepsTheJournal() {
        QTemporaryDir dir;
        writeFile(dir.filePath(u"file"_s), "x");
        test::DemoRide ride(EquipmentType::treadmill, dir.filePath(u"journal"_s));
        ride.recorder->setFolder(dir.filePath(u"file/Tallyfin"_s));
        QSignalSpy failed(ride.recorder.get(), &WorkoutRecorder::failed);
        ride.connect();
        ride.run(70s);
        const auto result = ride.recorder->finish();
        QVERIFY(result && result->kept);
        QCOMPARE(failed.size(), 1);
        QVERIFY2(ride.recorder->lastError().contains(u"stays for a later export"_s),
                 qPrintable(ride.recorder->lastError()));
        QVERIFY(QFile::exists(result->journal));
        QVERIFY(journal::readFile(result->journal).isIntact());
    }
};

QTEST_GUILESS_MAIN(TestWorkout)
#include "tst_workout.moc"
