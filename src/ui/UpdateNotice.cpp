#include "UpdateNotice.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>

namespace tallyfin::ui {

using Outcome = update::UpdateCheckResult::Outcome;

UpdateNoticeText updateNoticeText(const update::UpdateCheckResult& result) {
    switch (result.outcome) {
    case Outcome::upToDate:
        return {QStringLiteral("You're up to date"),
                QStringLiteral("Tallyfin %1 is the newest version available.")
                    .arg(result.currentVersion),
                {}};
    case Outcome::updateAvailable: {
        const QString latest = result.latestDisplayVersion.isEmpty() ? result.latestVersion
                                                                     : result.latestDisplayVersion;
        return {QStringLiteral("A new version of Tallyfin is available"),
                QStringLiteral("Tallyfin %1 is available; you have %2.")
                    .arg(latest, result.currentVersion),
                result.downloadPage};
    }
    case Outcome::failed:
        break;
    }
    return {QStringLiteral("Update check failed"),
            QStringLiteral("Tallyfin could not check for updates: %1").arg(result.errorString),
            {}};
}

void showUpdateNotice(const update::UpdateCheckResult& result) {
    const UpdateNoticeText notice = updateNoticeText(result);
    QMessageBox box(result.outcome == Outcome::failed ? QMessageBox::Warning
                                                      : QMessageBox::Information,
                    notice.title, notice.text);
    QPushButton* download = nullptr;
    if (notice.downloadPage.isValid()) {
        download = box.addButton(QStringLiteral("Download…"), QMessageBox::AcceptRole);
        box.addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
    } else {
        box.addButton(QMessageBox::Ok);
    }
    box.exec();
    if (download && box.clickedButton() == download) {
        QDesktopServices::openUrl(notice.downloadPage);
    }
}

} // namespace tallyfin::ui
