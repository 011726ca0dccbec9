// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "UpdateController.h"

#include "model/ApplicationInfo.h"
#include "ui/update/UpdateLogging.h"
#include "ui/update/VersionComparison.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tallyfin::update {

UpdateController::UpdateController(QUrl feedUrl, QString currentVersion, QObject* parent)
    : QObject(parent)
    , m_feedUrl(std::move(feedUrl))
    , m_currentVersion(std::move(currentVersion)) {
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(defaultTimeout);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_reply) {
            m_reply->abort();
        }
    });
}

UpdateController::~UpdateController() {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

std::unique_ptr<UpdateController> UpdateController::fromApplicationInfo(const ApplicationInfo& info,
                                                                        QObject* parent) {
    const std::optional<QString> feed = info.text(ApplicationInfo::updateFeedKey);
    if (!feed || feed->trimmed().isEmpty()) {
        return nullptr;
    }
    const QUrl url(feed->trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty()) {
        qCWarning(lcUpdate) << "No update check: the update feed address" << *feed
                            << "is not an http or https address";
        return nullptr;
    }
    return std::make_unique<UpdateController>(
        url, info.textOrUnknown(ApplicationInfo::buildVersionKey), parent);
}

void UpdateController::setNetworkAccessManager(QNetworkAccessManager* manager) {
    m_network = manager;
}

void UpdateController::checkForUpdates() {
    if (m_reply) {
        return;
    }
    if (!m_network) {
        m_ownNetwork = std::make_unique<QNetworkAccessManager>();
        m_network = m_ownNetwork.get();
    }
    QNetworkRequest request(m_feedUrl);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("Accept", "application/rss+xml, application/xml, text/xml, */*");
    m_tooLarge = false;
    qCInfo(lcUpdate) << "Checking for updates at" << m_feedUrl.toDisplayString();
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > maximumFeedSize && m_reply) {
            m_tooLarge = true;
            m_reply->abort();
        }
    });
    connect(m_reply, &QNetworkReply::finished, this, &UpdateController::onFinished);
    m_deadline.start();
    Q_EMIT checkingChanged();
}

void UpdateController::onFinished() {
    QNetworkReply* reply = m_reply;
    if (!reply) {
        return;
    }
    reply->deleteLater();
    const bool deadlineReached = !m_deadline.isActive();
    m_deadline.stop();
    const QString where = m_feedUrl.toDisplayString();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();

    if (m_tooLarge) {
        //: %1 is the feed's address, %2 a number of mebibytes
        finish(failure(qtTrId("update.error.tooLarge")
                           .arg(where, QString::number(maximumFeedSize / (1024 * 1024)))));
    } else if (reply->error() == QNetworkReply::OperationCanceledError && deadlineReached) {
        //: %1 is the feed's address, %2 a number of seconds
        finish(failure(qtTrId("update.error.timeout")
                           .arg(where, QString::number(double(m_deadline.interval()) / 1000))));
    } else if (status >= 300) {
        const QString reason =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        finish(
            //: %1 is the feed's address, %2 the HTTP status code, %3 its reason in parentheses
            //: after a space, or nothing
            failure(qtTrId("update.error.httpStatus")
                        .arg(where, QString::number(status),
                             reason.isEmpty() ? QString() : QStringLiteral(" (") + reason + u')')));
    } else if (reply->error() != QNetworkReply::NoError) {
        //: %1 is the feed's address, %2 the network's error (from Qt)
        finish(failure(qtTrId("update.error.unreachable").arg(where, reply->errorString())));
    } else {
        finish(evaluate(reply->readAll()));
    }
}

UpdateCheckResult UpdateController::evaluate(const QByteArray& body) const {
    const AppcastParseResult parsed = parseAppcast(body, m_feedUrl);
    if (!parsed.appcast) {
        //: %1 is the feed's address, %2 what is wrong with the feed (English, technical)
        return failure(
            qtTrId("update.error.unreadable").arg(m_feedUrl.toDisplayString(), parsed.error));
    }
    for (const QString& line : parsed.skipped) {
        qCWarning(lcUpdate).noquote() << "Update feed item left out:" << line;
    }
    UpdateCheckResult result;
    result.currentVersion = m_currentVersion;
    result.outcome = UpdateCheckResult::Outcome::upToDate;
    if (const std::optional<AppcastItem> newest = parsed.appcast->newestItem()) {
        result.latestVersion = newest->version;
        result.latestDisplayVersion = newest->displayVersion();
        if (compareVersions(newest->version, m_currentVersion) > 0) {
            result.outcome = UpdateCheckResult::Outcome::updateAvailable;
            result.downloadPage = newest->downloadPage();
            result.releaseNotes = newest->releaseNotesLink;
        }
    }
    return result;
}

UpdateCheckResult UpdateController::failure(const QString& error) const {
    UpdateCheckResult result;
    result.outcome = UpdateCheckResult::Outcome::failed;
    result.currentVersion = m_currentVersion;
    result.errorString = error;
    return result;
}

void UpdateController::finish(UpdateCheckResult result) {
    m_reply = nullptr;
    switch (result.outcome) {
    case UpdateCheckResult::Outcome::upToDate:
        qCInfo(lcUpdate) << "Up to date: build" << result.currentVersion << "- newest in the feed"
                         << result.latestVersion;
        break;
    case UpdateCheckResult::Outcome::updateAvailable:
        qCInfo(lcUpdate) << "Newer version" << result.latestDisplayVersion << "("
                         << result.latestVersion << ") at" << result.downloadPage.toDisplayString();
        break;
    case UpdateCheckResult::Outcome::failed:
        qCWarning(lcUpdate).noquote() << result.errorString;
        break;
    }
    Q_EMIT checkingChanged();
    Q_EMIT checkFinished(result);
}

} // namespace tallyfin::update
