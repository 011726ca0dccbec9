// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/SessionManager.h"

#include "analytics/AppActivity.h"
#include "analytics/CustomDefaults.h"
#include "analytics/TelemetryDeck.h"
#include "analytics/TelemetryManager.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <QTimeZone>
#include <QTimer>

#include <cmath>
#include <memory>

namespace tallyfin::analytics {

using namespace Qt::StringLiterals;

namespace {

const QString recentSessionsKey = u"recentSessions"_s;
const QString firstSessionDateKey = u"firstSessionDate"_s;
const QString deletedSessionsCountKey = u"deletedSessionsCount"_s;
const QString distinctDaysUsedKey = u"distinctDaysUsed"_s;

std::unique_ptr<SessionManager>& sharedSlot() {
    static std::unique_ptr<SessionManager> manager;
    return manager;
}

QVariant storedValue(const QString& key) {
    const auto defaults = CustomDefaults::ofInstalledManager();
    return defaults ? defaults->value(key) : QVariant();
}

void storeValue(const QString& key, const QVariant& value) {
    if (const auto defaults = CustomDefaults::ofInstalledManager()) {
        defaults->setValue(key, value);
    }
}

QStringList storedDays() {
    return storedValue(distinctDaysUsedKey).toStringList();
}

// Whole seconds; a JSON number that is not one is no valid stored session.
std::optional<qint64> wholeSeconds(const QJsonValue& value) {
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    // Within ±10^12 seconds (about 31,700 years) every integer is exact and every date valid.
    if (!std::isfinite(number) || std::fabs(number) > 1e12 || number != std::trunc(number)) {
        return std::nullopt;
    }
    return static_cast<qint64>(number);
}

} // namespace

QByteArray StoredSession::encodeList(const QList<StoredSession>& sessions) {
    QJsonArray array;
    for (const StoredSession& session : sessions) {
        array.append(QJsonObject{
            {u"startedAt"_s, static_cast<double>(session.startedAt.toSecsSinceEpoch())},
            {u"durationInSeconds"_s, static_cast<double>(session.durationInSeconds)},
        });
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<QList<StoredSession>> StoredSession::decodeList(const QByteArray& data) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        return std::nullopt;
    }
    QList<StoredSession> sessions;
    for (const QJsonValue& value : document.array()) {
        const QJsonObject object = value.toObject();
        const auto startedAt = wholeSeconds(object.value("startedAt"_L1));
        const auto duration = wholeSeconds(object.value("durationInSeconds"_L1));
        if (!value.isObject() || !startedAt || !duration) {
            return std::nullopt;
        }
        sessions.append(
            StoredSession{QDateTime::fromSecsSinceEpoch(*startedAt, QTimeZone::utc()), *duration});
    }
    return sessions;
}

SessionManager& SessionManager::shared() {
    auto& slot = sharedSlot();
    if (!slot) {
        slot = std::make_unique<SessionManager>();
    }
    return *slot;
}

void SessionManager::resetShared() {
    sharedSlot().reset();
}

QString SessionManager::dayText(const QDateTime& date) {
    return date.toLocalTime().date().toString(Qt::ISODate);
}

SessionManager::SessionManager()
    : m_currentSessionStartedAt(QDate(1, 1, 1), QTime(0, 0), QTimeZone::utc()) {
    if (auto* app = QCoreApplication::instance(); app && thread() != app->thread()) {
        moveToThread(app->thread());
    }
    const QVariant stored = storedValue(recentSessionsKey);
    if (stored.isValid()) {
        if (const auto decoded = StoredSession::decodeList(stored.toByteArray())) {
            const QDateTime oldest = Clock::now().addSecs(-retentionSeconds);
            for (const StoredSession& session : *decoded) {
                if (session.startedAt > oldest) {
                    m_recentSessions.append(session);
                }
            }
            const qint64 deleted = decoded->size() - m_recentSessions.size();
            storeValue(deletedSessionsCountKey,
                       storedValue(deletedSessionsCountKey).toLongLong() + deleted);
        }
    }
    updateDistinctDaysUsed();

    auto* activity = AppActivity::instance();
    connect(activity, &AppActivity::didResignActive, this,
            &SessionManager::handleDidEnterBackgroundNotification);
    connect(activity, &AppActivity::willBecomeActive, this,
            &SessionManager::handleWillEnterForegroundNotification);
}

SessionManager::~SessionManager() = default;

void SessionManager::updateDistinctDaysUsed() {
    const QString today = dayText(Clock::now());
    QStringList days = storedDays();
    if (!days.isEmpty() && days.constLast() == today) {
        return;
    }
    days.append(today);
    storeValue(distinctDaysUsedKey, days);
}

void SessionManager::startNewSession() {
    stopSessionTimer();
    if (m_recentSessions.isEmpty()) {
        const QString today = dayText(Clock::now());
        storeValue(firstSessionDateKey, today);
        TelemetryDeck::internalSignal(u"TelemetryDeck.Acquisition.newInstallDetected"_s,
                                      {{u"TelemetryDeck.Acquisition.firstSessionDate"_s, today}});
    }
    m_currentSessionStartedAt = Clock::now();
    m_currentSessionDuration = 0;
    updateSessionDuration();
    startSessionTimer();
    // A session that begins while the desktop is locked or asleep is timed from its return: the
    // inactive application stops the timer at once, as becoming inactive does.
    if (!AppActivity::instance()->isActive()) {
        handleDidEnterBackgroundNotification();
    }
}

void SessionManager::updateSessionDuration() {
    const QDateTime now = Clock::now();
    if (m_sessionDurationLastUpdatedAt) {
        m_currentSessionDuration +=
            static_cast<double>(m_sessionDurationLastUpdatedAt->msecsTo(now)) / 1000.0;
    }
    m_sessionDurationLastUpdatedAt = now;
    persistCurrentSession();
}

void SessionManager::persistCurrentSession() {
    if (m_currentSessionDuration < 1.0) {
        return;
    }
    const auto duration = static_cast<qint64>(m_currentSessionDuration);
    auto current = std::find_if(m_recentSessions.rbegin(), m_recentSessions.rend(),
                                [this](const StoredSession& session) {
                                    return session.startedAt == m_currentSessionStartedAt;
                                });
    if (current != m_recentSessions.rend()) {
        current->durationInSeconds = duration;
    } else {
        m_recentSessions.append(StoredSession{m_currentSessionStartedAt, duration});
    }
    storeValue(recentSessionsKey, StoredSession::encodeList(m_recentSessions));
}

void SessionManager::startSessionTimer() {
    delete m_sessionDurationUpdater;
    m_sessionDurationUpdater = new QTimer(this);
    const auto manager = TelemetryManager::installed();
    m_sessionDurationUpdater->setInterval(manager ? manager->configuration()->timing().sessionTick
                                                  : Timing().sessionTick);
    connect(m_sessionDurationUpdater, &QTimer::timeout, this,
            &SessionManager::updateSessionDuration);
    m_sessionDurationUpdater->start();
}

void SessionManager::stopSessionTimer() {
    delete m_sessionDurationUpdater;
    m_sessionDurationUpdater = nullptr;
    m_sessionDurationLastUpdatedAt.reset();
}

bool SessionManager::isTimerRunning() const {
    return m_sessionDurationUpdater != nullptr;
}

void SessionManager::handleDidEnterBackgroundNotification() {
    updateSessionDuration();
    stopSessionTimer();
}

void SessionManager::handleWillEnterForegroundNotification() {
    updateSessionDuration();
    startSessionTimer();
}

Parameters SessionManager::retentionParameters() const {
    const QDateTime now = Clock::now();
    Parameters parameters;
    const QVariant firstSessionDate = storedValue(firstSessionDateKey);
    parameters.insert(u"TelemetryDeck.Acquisition.firstSessionDate"_s,
                      firstSessionDate.isValid() ? firstSessionDate.toString() : dayText(now));

    qint64 average = -1;
    if (m_recentSessions.size() == 1) {
        average = m_recentSessions.constFirst().durationInSeconds;
    } else if (m_recentSessions.size() > 1) {
        qint64 sum = 0;
        for (qsizetype i = 0; i + 1 < m_recentSessions.size(); ++i) {
            sum += m_recentSessions.at(i).durationInSeconds;
        }
        average = sum / (m_recentSessions.size() - 1);
    }
    parameters.insert(u"TelemetryDeck.Retention.averageSessionSeconds"_s, QString::number(average));

    const QStringList days = storedDays();
    parameters.insert(u"TelemetryDeck.Retention.distinctDaysUsed"_s, QString::number(days.size()));
    const QString monthAgo = now.addSecs(-lastMonthSeconds).toUTC().date().toString(Qt::ISODate);
    const auto lastMonth = std::count_if(
        days.cbegin(), days.cend(), [&monthAgo](const QString& day) { return day >= monthAgo; });
    parameters.insert(u"TelemetryDeck.Retention.distinctDaysUsedLastMonth"_s,
                      QString::number(lastMonth));
    const qint64 total =
        m_recentSessions.size() + storedValue(deletedSessionsCountKey).toLongLong();
    parameters.insert(u"TelemetryDeck.Retention.totalSessionsCount"_s, QString::number(total));
    if (m_recentSessions.size() >= 2) {
        parameters.insert(
            u"TelemetryDeck.Retention.previousSessionSeconds"_s,
            QString::number(m_recentSessions.at(m_recentSessions.size() - 2).durationInSeconds));
    }
    return parameters;
}

} // namespace tallyfin::analytics
