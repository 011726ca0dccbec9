// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/AppActivity.h"
#include "analytics/SessionManager.h"
#include "analytics/TelemetryDeck.h"
#include "analytics/TelemetryManager.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "model/StopSignals.h"

#include <QEventLoop>
#include <QJsonObject>
#include <QTimer>

namespace tallyfin::cli {

using namespace Qt::StringLiterals;
using namespace tallyfin::analytics;

namespace {

constexpr QStringView name = u"signal";
// How long the command waits for the service before keeping what is left for the next run.
constexpr int deliveryWaitMSecs = 15'000;
// A request that outlives this comes back to the cache before the wait ends.
constexpr std::chrono::milliseconds requestTimeout{10'000};

struct SignalArguments {
    QString appID;
    std::optional<QUrl> baseURL;
    std::optional<QString> nameSpace;
    bool testMode = false;
    bool session = false;
    QString signalName;
    Parameters parameters;
};

// Parses the arguments; on failure returns none and sets the message.
std::optional<SignalArguments> parse(const QStringList& arguments, QString& error) {
    SignalArguments parsed;
    bool haveAppID = false;
    qsizetype i = 0;
    auto valueOf = [&](const QString& option) -> std::optional<QString> {
        if (i + 1 >= arguments.size()) {
            error = u"missing value after " % option;
            return std::nullopt;
        }
        return arguments.at(++i);
    };
    for (; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (!argument.startsWith(u"--")) {
            break;
        }
        if (argument == u"--app-id") {
            const auto value = valueOf(argument);
            if (!value) {
                return std::nullopt;
            }
            if (value->trimmed().isEmpty()) {
                error = u"--app-id must not be empty"_s;
                return std::nullopt;
            }
            parsed.appID = *value;
            haveAppID = true;
        } else if (argument == u"--base-url") {
            const auto value = valueOf(argument);
            if (!value) {
                return std::nullopt;
            }
            const QUrl url(*value, QUrl::StrictMode);
            if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https") ||
                url.host().isEmpty()) {
                error = u"--base-url '" % *value % u"' is not an http or https URL";
                return std::nullopt;
            }
            parsed.baseURL = url;
        } else if (argument == u"--namespace") {
            const auto value = valueOf(argument);
            if (!value) {
                return std::nullopt;
            }
            parsed.nameSpace = *value;
        } else if (argument == u"--test-mode") {
            parsed.testMode = true;
        } else if (argument == u"--session") {
            parsed.session = true;
        } else {
            error = u"unknown option '" % argument % u"'";
            return std::nullopt;
        }
    }
    if (!haveAppID) {
        error = u"missing --app-id ID"_s;
        return std::nullopt;
    }
    if (i >= arguments.size() || arguments.at(i).isEmpty()) {
        error = u"missing NAME"_s;
        return std::nullopt;
    }
    parsed.signalName = arguments.at(i++);
    for (; i < arguments.size(); ++i) {
        const QString& pair = arguments.at(i);
        const qsizetype equals = pair.indexOf(u'=');
        if (equals <= 0) {
            error = u"parameter '" % pair % u"' is not KEY=VALUE";
            return std::nullopt;
        }
        parsed.parameters.insert(pair.left(equals), pair.mid(equals + 1));
    }
    if (parsed.nameSpace &&
        !SignalManager::batchURL(
            parsed.baseURL.value_or(TelemetryManagerConfiguration::defaultApiBaseURL()),
            parsed.nameSpace)) {
        error = u"--namespace '" % *parsed.nameSpace % u"' makes no valid URL";
        return std::nullopt;
    }
    return parsed;
}

} // namespace

int runSignal(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QString error;
    const auto parsed = parse(arguments, error);
    if (!parsed) {
        return usageError(err, name, error);
    }

    auto configuration = std::make_shared<TelemetryManagerConfiguration>(
        parsed->appID, std::nullopt, parsed->baseURL, parsed->nameSpace);
    configuration->setTestMode(parsed->testMode);
    // Without --session only the one signal asked for; with it the session begins as in the
    // overlay (a new-install signal on a first run, then the session-started signal).
    configuration->setSendNewSessionBeganSignal(parsed->session);
    configuration->setSessionStatsEnabled(parsed->session);
    Timing timing = configuration->timing();
    timing.requestTimeout = requestTimeout;
    configuration->setTiming(timing);
    const QUuid firstSessionID = configuration->sessionID();

    TelemetryDeck::initialize(configuration);
    const auto manager = TelemetryManager::installed();
    SignalManager& signals_ = manager->signalManager();
    TelemetryDeck::signal(parsed->signalName, parsed->parameters);

    // Once every signal is built (with --session: once the session has begun and lasted the
    // second that makes it count), ask for an early send; then wait until the cache is empty
    // with nothing in flight, the time is up, or a stop signal comes.
    QEventLoop loop;
    QObject::connect(&StopSignals::install(), &StopSignals::stopRequested, &loop,
                     [&loop](int signalNumber) { loop.exit(128 + signalNumber); });
    QTimer::singleShot(deliveryWaitMSecs, &loop, [&loop] { loop.exit(0); });
    bool syncRequested = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        const bool sessionCounted =
            !parsed->session || (configuration->sessionID() != firstSessionID &&
                                 SessionManager::shared().currentSessionDuration() >= 1.0);
        if (!syncRequested && sessionCounted && signals_.buildingCount() == 0) {
            TelemetryDeck::requestImmediateSync();
            syncRequested = true;
        } else if (syncRequested && signals_.signalCache().count() == 0 &&
                   signals_.batchesInFlight() == 0) {
            loop.exit(0);
        }
    });
    poll.start(20);
    const int stopped = loop.exec();

    const qint64 kept = signals_.signalCache().count();
    const qint64 delivered = signals_.deliveredCount();
    AppActivity::instance()->notifyWillTerminate();
    TelemetryDeck::terminate();

    writeJsonLine(out, QJsonObject{{u"signal"_s, parsed->signalName},
                                   {u"delivered"_s, static_cast<double>(delivered)},
                                   {u"kept"_s, static_cast<double>(kept)}});
    if (stopped != 0) {
        return stopped;
    }
    return kept == 0 ? exitOk : exitFailure;
}

} // namespace tallyfin::cli
