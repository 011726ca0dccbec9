// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/update/Appcast.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <memory>

namespace tallyfin {
class ApplicationInfo;
}

namespace tallyfin::update {

// What one update check found.
struct UpdateCheckResult {
    Q_GADGET
    Q_PROPERTY(tallyfin::update::UpdateCheckResult::Outcome outcome MEMBER outcome CONSTANT)
    Q_PROPERTY(QString currentVersion MEMBER currentVersion CONSTANT)
    Q_PROPERTY(QString latestVersion MEMBER latestVersion CONSTANT)
    Q_PROPERTY(QString latestDisplayVersion MEMBER latestDisplayVersion CONSTANT)
    Q_PROPERTY(QUrl downloadPage MEMBER downloadPage CONSTANT)
    Q_PROPERTY(QUrl releaseNotes MEMBER releaseNotes CONSTANT)
    Q_PROPERTY(QString errorString MEMBER errorString CONSTANT)

public:
    enum class Outcome { upToDate, updateAvailable, failed };
    Q_ENUM(Outcome)

    Outcome outcome = Outcome::failed;
    // The running build's version, as compared.
    QString currentVersion;
    // The newest version the feed offers (empty when it offers none or the check failed).
    QString latestVersion;
    QString latestDisplayVersion;
    QUrl downloadPage;
    QUrl releaseNotes;
    // Why the check failed, in one sentence; empty otherwise.
    QString errorString;
};

// Checks an appcast feed for a newer version than the running build, on request only. It fetches
// the feed, compares the newest item's "sparkle:version" with the build version and reports up to
// date, a newer version with its download page, or an error that says what went wrong.
class UpdateController : public QObject {
    Q_OBJECT
    Q_PROPERTY(QUrl feedUrl READ feedUrl CONSTANT)
    Q_PROPERTY(bool checking READ isChecking NOTIFY checkingChanged)

public:
    // The longest a check may take in all, however steadily the answer trickles in.
    static constexpr std::chrono::milliseconds defaultTimeout{30000};
    // Larger answers are not feeds; the check stops reading and fails.
    static constexpr qint64 maximumFeedSize = 4 * 1024 * 1024;

    UpdateController(QUrl feedUrl, QString currentVersion, QObject* parent = nullptr);
    ~UpdateController() override;

    // The controller for the feed the build carries, or none when it carries no feed (or an
    // address that is not http or https, which is logged).
    static std::unique_ptr<UpdateController> fromApplicationInfo(const ApplicationInfo& info,
                                                                 QObject* parent = nullptr);

    QUrl feedUrl() const { return m_feedUrl; }
    QString currentVersion() const { return m_currentVersion; }
    bool isChecking() const { return m_reply != nullptr; }
    void setTimeout(std::chrono::milliseconds timeout) { m_deadline.setInterval(timeout); }
    // Uses `manager` for the requests instead of one of its own (not owned).
    void setNetworkAccessManager(QNetworkAccessManager* manager);

    // Starts a check; does nothing while one is running.
    Q_INVOKABLE void checkForUpdates();

Q_SIGNALS:
    void checkingChanged();
    void checkFinished(const tallyfin::update::UpdateCheckResult& result);

private:
    void onFinished();
    void finish(UpdateCheckResult result);
    UpdateCheckResult failure(const QString& error) const;
    UpdateCheckResult evaluate(const QByteArray& body) const;

    QUrl m_feedUrl;
    QString m_currentVersion;
    // Started with each check; when it fires the check is given up.
    QTimer m_deadline;
    QNetworkAccessManager* m_network = nullptr;
    std::unique_ptr<QNetworkAccessManager> m_ownNetwork;
    QPointer<QNetworkReply> m_reply;
    bool m_tooLarge = false;
};

} // namespace tallyfin::update
