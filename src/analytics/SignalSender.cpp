// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/SignalSender.h"

#include "analytics/SignalManager.h"
#include "analytics/TelemetryError.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QTimer>

namespace tallyfin::analytics {

using namespace Qt::StringLiterals;

namespace {
std::optional<QString> utf8Text(const QByteArray& data) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(data);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}
} // namespace

SignalSender::SignalSender(std::shared_ptr<SignalCache> cache,
                           std::shared_ptr<TelemetryManagerConfiguration> configuration,
                           std::shared_ptr<DeliveryCounters> counters)
    : m_cache(std::move(cache))
    , m_configuration(std::move(configuration))
    , m_counters(std::move(counters)) {}

bool SignalSender::logsDebug() const {
    const auto handler = m_configuration->logHandler();
    return handler && handler->logLevel == LogLevel::Debug;
}

void SignalSender::start() {
    sendNextBatch();
    delete m_timer;
    m_timer = new QTimer(this);
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(m_configuration->timing().sendInterval);
    connect(m_timer, &QTimer::timeout, this, &SignalSender::sendNextBatch);
    m_timer->start();
}

void SignalSender::schedulePersist() {
    if (m_persistTimer == nullptr) {
        m_persistTimer = new QTimer(this);
        m_persistTimer->setSingleShot(true);
        connect(m_persistTimer, &QTimer::timeout, this, [this] { m_cache->persist(); });
    }
    if (!m_persistTimer->isActive()) {
        m_persistTimer->start(m_configuration->timing().cacheWriteDelay);
    }
}

void SignalSender::sendNextBatch() {
    m_configuration->log(LogLevel::Debug,
                         u"Current signal cache count: "_s + QString::number(m_cache->count()));
    // Counted in flight before it leaves the cache, so that a watcher never sees an empty cache
    // and nothing in flight while a batch is on its way out.
    ++m_counters->batchesInFlight;
    const QList<SignalPostBody> batch = m_cache->pop();
    if (batch.isEmpty()) {
        --m_counters->batchesInFlight;
        return;
    }
    m_configuration->log(LogLevel::Info, u"Sending "_s % QString::number(batch.size()) %
                                             u" signals leaving a cache of " %
                                             QString::number(m_cache->count()) % u" signals");
    // The batch leaves the file before it leaves the program: once delivered, it must not come
    // back after a crash. Should it fail, it returns to the cache and to the file.
    m_cache->persist();
    upload(batch);
}

void SignalSender::upload(const QList<SignalPostBody>& batch) {
    const auto url =
        SignalManager::batchURL(m_configuration->apiBaseURL, m_configuration->nameSpace);
    if (!url) {
        m_configuration->log(LogLevel::Error,
                             u"Unable to construct signal API URL for namespace "_s +
                                 m_configuration->nameSpace.value_or(u"nil"_s));
        m_configuration->log(
            LogLevel::Error,
            TelemetryError{TelemetryError::Kind::InvalidEndpointUrl, 0}.debugDescription());
        m_cache->push(batch);
        --m_counters->batchesInFlight;
        return;
    }
    if (m_network == nullptr) {
        const auto factory = m_configuration->urlSession();
        m_network = factory ? factory(this) : new QNetworkAccessManager(this);
    }
    QNetworkRequest request(*url);
    request.setTransferTimeout(static_cast<int>(m_configuration->timing().requestTimeout.count()));
    request.setHeader(QNetworkRequest::ContentTypeHeader, u"application/json"_s);
    const QByteArray body = encodeUploadBody(batch);
    if (logsDebug()) {
        if (const auto text = utf8Text(body)) {
            m_configuration->log(LogLevel::Debug, *text);
        }
    }
    QNetworkReply* reply = m_network->post(request, body);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, batch] { complete(reply, batch); });
}

void SignalSender::complete(QNetworkReply* reply, const QList<SignalPostBody>& batch) {
    reply->deleteLater();
    // Counted down only after a failed batch is back in the cache, so that a watcher never sees
    // an empty cache and nothing in flight while a batch is on its way back.
    const auto finished = qScopeGuard([this] { --m_counters->batchesInFlight; });
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        if (reply->error() != QNetworkReply::NoError) {
            m_configuration->log(LogLevel::Error, reply->errorString());
            m_cache->push(batch);
        }
        return;
    }
    const int statusCode = status.toInt();
    if (statusCode < 200 || statusCode > 299) {
        m_configuration->log(LogLevel::Error,
                             TelemetryError::fromStatusCode(statusCode).debugDescription());
        m_cache->push(batch);
        return;
    }
    m_counters->delivered += batch.size();
    const QByteArray data = reply->readAll();
    if (!data.isEmpty() && logsDebug()) {
        if (const auto text = utf8Text(data)) {
            m_configuration->log(LogLevel::Debug, *text);
        }
    }
}

} // namespace tallyfin::analytics
