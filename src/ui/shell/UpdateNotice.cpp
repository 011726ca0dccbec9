// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "UpdateNotice.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>

namespace tallyfin::ui {

using Outcome = update::UpdateCheckResult::Outcome;

UpdateNoticeText updateNoticeText(const update::UpdateCheckResult& result) {
    switch (result.outcome) {
    case Outcome::upToDate:
        //: Title of the answer to "Check for Updates" when nothing newer exists
        return {qtTrId("update.upToDate.title"),
                //: %1 is the version running
                qtTrId("update.upToDate.text").arg(result.currentVersion),
                {}};
    case Outcome::updateAvailable: {
        const QString latest = result.latestDisplayVersion.isEmpty() ? result.latestVersion
                                                                     : result.latestDisplayVersion;
        //: Title of the answer to "Check for Updates" when a newer version exists
        return {qtTrId("update.available.title"),
                //: %1 is the newer version, %2 the version running
                qtTrId("update.available.text").arg(latest, result.currentVersion),
                result.downloadPage};
    }
    case Outcome::failed:
        break;
    }
    //: Title of the answer to "Check for Updates" when the check failed
    return {qtTrId("update.failed.title"),
            //: %1 says what went wrong (a whole sentence)
            qtTrId("update.failed.text").arg(result.errorString),
            {}};
}

UpdateNotice::UpdateNotice(update::UpdateController& controller)
    : QObject(&controller)
    , m_controller(controller) {
    QObject::connect(&controller, &update::UpdateController::checkFinished, this,
                     [this](const update::UpdateCheckResult& result) {
                         show(result.outcome == Outcome::failed ? QMessageBox::Warning
                                                                : QMessageBox::Information,
                              updateNoticeText(result));
                     });
}

UpdateNotice::~UpdateNotice() {
    delete m_box;
}

void UpdateNotice::check() {
    if (!m_controller.isChecking()) {
        m_controller.checkForUpdates();
    }
    //: Title of the window while an update check runs
    show(QMessageBox::NoIcon,
         {qtTrId("update.checking.title"),
          //: %1 is the update feed's address
          qtTrId("update.checking.text").arg(m_controller.feedUrl().toDisplayString()),
          {}});
}

void UpdateNotice::show(QMessageBox::Icon icon, const UpdateNoticeText& notice) {
    if (!m_box) {
        m_box = new QMessageBox();
        m_box->setAttribute(Qt::WA_DeleteOnClose);
        m_box->setWindowModality(Qt::NonModal);
        m_box->setTextFormat(Qt::PlainText);
        QObject::connect(m_box, &QMessageBox::buttonClicked, this, [this](QAbstractButton* button) {
            if (m_box && m_box->buttonRole(button) == QMessageBox::AcceptRole &&
                m_downloadPage.isValid()) {
                QDesktopServices::openUrl(m_downloadPage);
            }
        });
    }
    for (QAbstractButton* button : m_box->buttons()) {
        m_box->removeButton(button);
        button->deleteLater();
    }
    m_box->setIcon(icon);
    m_box->setWindowTitle(notice.title);
    m_box->setText(notice.text);
    m_downloadPage = notice.downloadPage;
    if (notice.downloadPage.isValid()) {
        //: Button that opens the download page of the newer version
        m_box->addButton(qtTrId("update.download"), QMessageBox::AcceptRole);
        //: Button that closes the update message without downloading
        m_box->addButton(qtTrId("update.later"), QMessageBox::RejectRole);
    } else {
        m_box->addButton(QMessageBox::Ok);
    }
    m_box->show();
    m_box->raise();
    m_box->activateWindow();
}

} // namespace tallyfin::ui
