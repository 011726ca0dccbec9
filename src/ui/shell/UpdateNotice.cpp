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

void showUpdateNotice(const update::UpdateCheckResult& result) {
    const UpdateNoticeText notice = updateNoticeText(result);
    QMessageBox box(result.outcome == Outcome::failed ? QMessageBox::Warning
                                                      : QMessageBox::Information,
                    notice.title, notice.text);
    QPushButton* download = nullptr;
    if (notice.downloadPage.isValid()) {
        //: Button that opens the download page of the newer version
        download = box.addButton(qtTrId("update.download"), QMessageBox::AcceptRole);
        //: Button that closes the update message without downloading
        box.addButton(qtTrId("update.later"), QMessageBox::RejectRole);
    } else {
        box.addButton(QMessageBox::Ok);
    }
    box.exec();
    if (download && box.clickedButton() == download) {
        QDesktopServices::openUrl(notice.downloadPage);
    }
}

} // namespace tallyfin::ui
