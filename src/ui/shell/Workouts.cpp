// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "Workouts.h"

#include "UiLogging.h"
#include "analytics/AppActivity.h"
#include "tallyfin/BuildInfo.h"
#include "ui/panel/OverlaySizeManager.h"
#include "ui/panel/WorkoutTexts.h"
#include "workout/WorkoutFiles.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>

namespace tallyfin::ui {

using namespace Qt::StringLiterals;

namespace {

const QString notificationsService = u"org.freedesktop.Notifications"_s;
const QString notificationsPath = u"/org/freedesktop/Notifications"_s;
const QString openFolderAction = u"open-folder"_s;
constexpr int callTimeoutMs = 2000;

QDBusMessage notificationsCall(const QString& method) {
    return QDBusMessage::createMethodCall(notificationsService, notificationsPath,
                                          notificationsService, method);
}

} // namespace

Workouts::Workouts(FTMSManager& manager, QSettings& settings, const OverlaySizeManager& sizes,
                   WorkoutRecorder::Clock clock, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_sizes(sizes)
    , m_recorder(
          std::make_unique<WorkoutRecorder>(manager, defaultJournalFolder(), std::move(clock))) {
    WorkoutRecorder& r = *m_recorder;
    if (settings.contains(QLatin1String(folderKey))) {
        r.setFolder(settings.value(QLatin1String(folderKey)).toString());
    }
    if (settings.contains(QLatin1String(formatsKey))) {
        r.setFormatNames(settings.value(QLatin1String(formatsKey)).toStringList());
    }
    r.setAutoExport(settings.value(QLatin1String(autoExportKey), true).toBool());
    connect(&r, &WorkoutRecorder::folderChanged, this,
            [this] { m_settings.setValue(QLatin1String(folderKey), m_recorder->folder()); });
    connect(&r, &WorkoutRecorder::formatsChanged, this,
            [this] { m_settings.setValue(QLatin1String(formatsKey), m_recorder->formatNames()); });
    connect(&r, &WorkoutRecorder::autoExportChanged, this, [this] {
        m_settings.setValue(QLatin1String(autoExportKey), m_recorder->autoExport());
    });
    connect(&r, &WorkoutRecorder::recordingChanged, this, [this] {
        if (const Workout* workout = m_recorder->workout()) {
            m_kind = workout->kind;
        }
    });
    connect(&r, &WorkoutRecorder::failed, this, &Workouts::setNotice);
    connect(&r, &WorkoutRecorder::workoutFinished, this, &Workouts::notify);
    // Logging out or shutting down: the session's end keeps the workout as a quit does.
    connect(analytics::AppActivity::instance(), &analytics::AppActivity::sessionWillEnd, this,
            [this] { finish(true); });
    QDBusConnection::sessionBus().connect(notificationsService, notificationsPath,
                                          notificationsService, u"ActionInvoked"_s, this,
                                          SLOT(onActionInvoked(uint, QString)));
}

Workouts::~Workouts() = default;

void Workouts::recover() {
    if (!m_recorder->autoExport()) {
        return; // the journals stay for an export by hand
    }
    const QList<RecoveredJournal> recovered =
        recoverJournals(m_recorder->journalFolder(), m_recorder->folder(), m_recorder->formats(),
                        m_recorder->journalPath());
    qsizetype exported = 0;
    qsizetype left = 0;
    for (const RecoveredJournal& journal : recovered) {
        exported += journal.files.isEmpty() ? 0 : 1;
        left += journal.removed ? 0 : 1;
    }
    if (exported == 0 && left == 0) {
        return;
    }
    //% "Workouts of an earlier run: %1 exported, %2 left in %3"
    //: Status after start-up; %1 and %2 are counts, %3 the folder of the unfinished journals
    const QString text =
        qtTrId("workout.recovered")
            .arg(QString::number(exported), QString::number(left), m_recorder->journalFolder());
    qCInfo(lcUi).noquote() << text;
    setNotice(text);
}

void Workouts::finish(bool quitting) {
    m_quitting = quitting;
    m_recorder->finish();
}

void Workouts::chooseFolder() {
    //% "Folder for Workouts"
    //: Title of the dialog that picks where finished workouts are written
    const QString folder = QFileDialog::getExistingDirectory(
        nullptr, qtTrId("workout.chooseFolder.title"), m_recorder->folder());
    if (!folder.isEmpty()) {
        m_recorder->setFolder(folder);
    }
}

void Workouts::openFolder() {
    const QString folder = m_recorder->folder();
    QDir().mkpath(folder);
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder))) {
        qCWarning(lcUi).noquote() << "no file manager opened" << folder;
    }
}

void Workouts::onActionInvoked(uint id, const QString& action) {
    if (id != 0 && id == m_notification && action == openFolderAction) {
        openFolder();
    }
}

void Workouts::notify(const WorkoutSummary& summary, const QStringList& files) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCInfo(lcUi) << "no session bus: the finished workout is not announced";
        return;
    }
    QString text = workoutNoticeText(summary, m_kind, m_sizes.unitSystem());
    if (!files.isEmpty()) {
        //% "Saved in %1"
        //: Last line of the end-of-workout notification; %1 is the folder
        text += u'\n' + qtTrId("workout.notice.savedIn")
                            .arg(QDir::toNativeSeparators(QFileInfo(files.first()).path()));
    }
    const QString title = files.isEmpty()
                              //% "Workout recorded"
                              //: Title of the end-of-workout notification without export
                              ? qtTrId("workout.notice.recorded")
                              //% "Workout saved"
                              //: Title of the end-of-workout notification
                              : qtTrId("workout.notice.saved");
    const QStringList actions =
        files.isEmpty() ? QStringList()
                        //% "Open Folder"
                        //: Button of the end-of-workout notification
                        : QStringList{openFolderAction, qtTrId("workout.notice.openFolder")};
    // Servers that read the body as markup get it escaped: the folder is the user's text.
    const auto send = [this, bus, title, text, actions](const QStringList& capabilities) {
        const bool markup = capabilities.contains(u"body-markup"_s);
        QDBusMessage notify = notificationsCall(u"Notify"_s);
        notify << u"Tallyfin"_s << uint(0) << QString::fromLatin1(buildinfo::desktopAppId) << title
               << (markup ? text.toHtmlEscaped() : text) << actions << QVariantMap() << int(-1);
        if (m_quitting) {
            // The program ends right after: the call must be out before it does.
            const QDBusMessage reply = bus.call(notify, QDBus::Block, callTimeoutMs);
            if (reply.type() == QDBusMessage::ErrorMessage) {
                qCInfo(lcUi).noquote() << "no notification:" << reply.errorMessage();
            }
            return;
        }
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify, callTimeoutMs), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
            watcher->deleteLater();
            const QDBusPendingReply<uint> reply = *watcher;
            if (reply.isError()) {
                qCInfo(lcUi).noquote() << "no notification:" << reply.error().message();
            } else {
                m_notification = reply.value();
            }
        });
    };
    const QDBusMessage capabilities = notificationsCall(u"GetCapabilities"_s);
    if (m_quitting) {
        const QDBusMessage reply = bus.call(capabilities, QDBus::Block, callTimeoutMs);
        send(reply.arguments().value(0).toStringList());
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(capabilities, callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, send] {
        watcher->deleteLater();
        const QDBusPendingReply<QStringList> reply = *watcher;
        send(reply.isError() ? QStringList() : reply.value());
    });
}

void Workouts::setNotice(const QString& notice) {
    if (notice != m_notice) {
        m_notice = notice;
        Q_EMIT noticeChanged();
    }
}

} // namespace tallyfin::ui
