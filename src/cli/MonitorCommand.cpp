// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "cli/MonitorCommand.h"

#include "bluetooth/qt/QtBluetoothCentral.h"
#include "bluetooth/simulated/SimulatedCentral.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "connection/FTMSManager.h"
#include "model/Localization.h"
#include "model/OutsideText.h"
#include "model/StopSignals.h"
#include "workout/WorkoutRecorder.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QJsonObject>
#include <QTimer>

namespace tallyfin::cli {

namespace {

constexpr QStringView name = u"monitor";

bool unusable(bluetooth::CentralState state) {
    using S = bluetooth::CentralState;
    return state == S::unsupported || state == S::unauthorized || state == S::poweredOff;
}

std::shared_ptr<void> keep(Subscription subscription) {
    return std::make_shared<Subscription>(std::move(subscription));
}

} // namespace

std::optional<MonitorOptions> parseMonitorArguments(const QStringList& arguments, QString& error) {
    MonitorOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == u"--demo") {
            options.demo = true;
        } else if (argument == u"--record") {
            if (i + 1 >= arguments.size() || !formatForPath(arguments.at(i + 1))) {
                error = QStringLiteral("--record needs a FILE ending in .fit, .tcx or .csv");
                return std::nullopt;
            }
            options.record = arguments.at(++i);
        } else if (argument == u"--name" || argument == u"--seconds" || argument == u"--log") {
            if (i + 1 >= arguments.size()) {
                error = argument % u" needs a value";
                return std::nullopt;
            }
            const QString& value = arguments.at(++i);
            if (argument == u"--log") {
                if (value.isEmpty()) {
                    error = QStringLiteral("--log needs a FILE");
                    return std::nullopt;
                }
                options.logFile = value;
            } else if (argument == u"--name") {
                if (value.isEmpty()) {
                    error = QStringLiteral("--name needs a non-empty SUBSTRING");
                    return std::nullopt;
                }
                options.name = value;
            } else {
                bool ok = false;
                const int seconds = value.toInt(&ok);
                if (!ok || seconds <= 0) {
                    error =
                        u"--seconds needs a whole number of seconds above 0, not '" % value % u"'";
                    return std::nullopt;
                }
                options.seconds = seconds;
            }
        } else {
            error = u"unexpected argument '" % argument % u"'";
            return std::nullopt;
        }
    }
    return options;
}

MonitorSession::MonitorSession(const bluetooth::CentralFactory& centralFactory, QString nameFilter,
                               QTextStream& out, QTextStream& err, Clock clock)
    : m_manager(std::make_unique<FTMSManager>(centralFactory, ApplicationInfo::fromBuild()))
    , m_nameFilter(std::move(nameFilter))
    , m_out(out)
    , m_err(err)
    , m_clock(std::move(clock)) {
    if (!m_clock) {
        m_clock = [] { return QDateTime::currentDateTime(); };
    }
    m_subscriptions.append(keep(m_manager->statusMessagePublisher().subscribe(
        [this](const QString& status) { onStatus(status); })));
    m_subscriptions.append(keep(m_manager->isConnectedPublisher().subscribe(
        [this](bool connected) { onConnectedChanged(connected); })));
    // The stream, not the views' NOTIFY signal: every value is printed.
    m_subscriptions.append(keep(
        m_manager->metricsPublisher().subscribe([this](const FitnessMetrics&) { onMetrics(); })));
    QObject::connect(m_manager.get(), &FTMSManager::discoveredDevicesChanged, this,
                     &MonitorSession::onDevicesChanged, Qt::QueuedConnection);
    QObject::connect(m_manager.get(), &FTMSManager::connectionFailed, this,
                     [this](const QString&) { finish(exitFailure); });
    QObject::connect(m_manager.get(), &FTMSManager::awaitingReturnChanged, this, [this] {
        if (!m_manager->awaitingReturn() && !m_manager->connectedPeripheral() && !m_stopping) {
            m_err << "tallyfin-cli monitor: the machine did not come back\n";
            finish(exitFailure);
        }
    });
}

MonitorSession::~MonitorSession() {
    m_subscriptions.clear();
}

void MonitorSession::writeLogTo(QIODevice& log) {
    m_log = &log;
    for (const QString& line : m_manager->logBuffer()) {
        writeLogLine(line);
    }
    QObject::connect(m_manager.get(), &FTMSManager::logBufferChanged, this,
                     [this] { writeLogLine(m_manager->logBuffer().constLast()); });
}

void MonitorSession::writeLogLine(const QString& line) {
    // Flushed line by line, so that a run that is killed leaves every line it logged.
    auto* file = qobject_cast<QFileDevice*>(m_log);
    if (m_log->write((line + u'\n').toUtf8()) < 0 || (file && !file->flush())) {
        m_err << "tallyfin-cli monitor: cannot write the log: " << m_log->errorString() << '\n';
        m_err.flush();
        QObject::disconnect(m_manager.get(), &FTMSManager::logBufferChanged, this, nullptr);
        QMetaObject::invokeMethod(
            this, [this] { finish(exitFailure); }, Qt::QueuedConnection);
    }
}

void MonitorSession::start() {
    m_manager->startScanning();
}

void MonitorSession::stop() {
    if (m_stopping || m_finished) {
        return;
    }
    m_stopping = true;
    if (m_manager->connectedPeripheral()) {
        m_manager->disconnect(); // finished once the disconnection arrives
        return;
    }
    if (m_manager->isScanning()) {
        m_manager->stopScanning();
    }
    finish(exitOk);
}

void MonitorSession::onDevicesChanged() {
    if (m_chosen || m_stopping) {
        return;
    }
    for (const auto& peripheral : m_manager->discoveredDevices()) {
        // Matched as shown: a name's control characters are no part of it.
        const QString deviceName = sanitizedName(peripheral->name().value_or(QString()));
        const auto info = m_manager->deviceInfos().value(peripheral->identifier());
        const QString localName = info.localName.value_or(QString());
        if (m_nameFilter.isEmpty() || deviceName.contains(m_nameFilter, Qt::CaseInsensitive) ||
            localName.contains(m_nameFilter, Qt::CaseInsensitive)) {
            m_chosen = true;
            m_manager->connect(peripheral);
            return;
        }
    }
}

void MonitorSession::onStatus(const QString& status) {
    m_err << status << '\n';
    m_err.flush();
    const bluetooth::Central* central = m_manager ? m_manager->centralManager() : nullptr;
    if (central && !m_chosen && !m_manager->isScanning() && unusable(central->state())) {
        // The manager does not retry once Bluetooth is off or missing; neither do we.
        m_err << "tallyfin-cli monitor: Bluetooth is not available\n";
        QMetaObject::invokeMethod(
            this, [this] { finish(exitFailure); }, Qt::QueuedConnection);
    }
}

void MonitorSession::onConnectedChanged(bool connected) {
    if (connected) {
        m_wasConnected = true;
        return;
    }
    if (!m_wasConnected) {
        return;
    }
    if (m_stopping) {
        finish(exitOk);
    } else if (m_manager->awaitingReturn()) {
        // The manager connects it again when it is heard; the run goes on meanwhile.
        m_err << "tallyfin-cli monitor: the machine is gone; connecting again when it is heard\n";
        m_err.flush();
    } else {
        m_err << "tallyfin-cli monitor: the machine disconnected\n";
        finish(exitFailure);
    }
}

void MonitorSession::onMetrics() {
    if (!m_manager->isConnected()) {
        return; // the reset after a disconnection is no reading
    }
    const FitnessMetrics& metrics = m_manager->metrics();
    const EquipmentType kind = m_manager->detectedEquipmentType() != EquipmentType::unknown
                                   ? m_manager->detectedEquipmentType()
                                   : metrics.equipmentType;
    const QDateTime now = m_clock();
    QJsonObject line;
    line.insert(QStringLiteral("time"),
                now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs));
    line.insert(QStringLiteral("machine"), caseName(kind));
    line.insert(QStringLiteral("metrics"), metricsJson(metrics));
    writeJsonLine(m_out, line);
    m_out.flush();
}

void MonitorSession::finish(int exitStatus) {
    if (m_finished) {
        return;
    }
    m_finished = true;
    Q_EMIT finished(exitStatus);
}

int finishRecording(WorkoutRecorder& recorder, const QString& file, QTextStream& err) {
    const auto finished = recorder.finish();
    if (!finished || !finished->kept) {
        err << "tallyfin-cli monitor: the workout was shorter than a minute; " << file
            << " not written\n";
        return exitFailure;
    }
    QString error;
    if (!writeWorkoutFile(finished->workout, file, *formatForPath(file), &error)) {
        err << "tallyfin-cli monitor: " << error;
        if (!finished->journal.isEmpty()) {
            err << "; the workout stays in " << finished->journal;
        }
        err << '\n';
        return exitFailure;
    }
    if (!finished->journal.isEmpty()) {
        QFile::remove(finished->journal);
    }
    err << "tallyfin-cli monitor: workout written to " << file << '\n';
    return exitOk;
}

int runMonitor(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QString error;
    const auto options = parseMonitorArguments(arguments, error);
    if (!options) {
        return usageError(err, name, error);
    }
    if (auto* app = QCoreApplication::instance()) {
        // The tool's own messages and usage are English, so its status lines are too.
        installTranslations(*app, {QStringLiteral("en")});
    }
    const bluetooth::CentralFactory factory = options->demo
                                                  ? bluetooth::simulated::simulatedCentralFactory()
                                                  : bluetooth::qtBluetoothCentralFactory();
    MonitorSession session(factory, options->name, out, err);
    QFile log(options->logFile);
    if (!options->logFile.isEmpty()) {
        if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            err << "tallyfin-cli monitor: cannot write '" << options->logFile
                << "': " << log.errorString() << '\n';
            return exitFailure;
        }
        session.writeLogTo(log);
    }
    std::unique_ptr<WorkoutRecorder> recorder;
    if (!options->record.isEmpty()) {
        recorder = std::make_unique<WorkoutRecorder>(session.manager(), defaultJournalFolder());
        recorder->setAutoExport(false);
    }
    QEventLoop loop;
    QObject::connect(&session, &MonitorSession::finished, &loop, &QEventLoop::exit);

    const auto stopWithGrace = [&] {
        session.stop();
        // A stack that never confirms the disconnection must not keep us here.
        QTimer::singleShot(std::chrono::seconds(3), &loop, [&] {
            err << "tallyfin-cli monitor: no disconnection confirmed; leaving anyway\n";
            loop.exit(exitOk);
        });
    };
    QObject::connect(&StopSignals::install(), &StopSignals::stopRequested, &loop, stopWithGrace);
    if (options->seconds) {
        QTimer::singleShot(std::chrono::seconds(*options->seconds), &loop, stopWithGrace);
    }

    session.start();
    int status = loop.exec();
    if (recorder) {
        status = std::max(status, finishRecording(*recorder, options->record, err));
    }
    out.flush();
    err.flush();
    return status;
}

} // namespace tallyfin::cli
