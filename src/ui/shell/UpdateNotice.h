// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/update/UpdateController.h"

#include <QMessageBox>
#include <QPointer>
#include <QString>

namespace tallyfin::ui {

// The title, text and download page of the message that answers "Check for Updates".
struct UpdateNoticeText {
    QString title;
    QString text;
    // Set only when a newer version can be downloaded.
    QUrl downloadPage;
};

UpdateNoticeText updateNoticeText(const update::UpdateCheckResult& result);

// The window that answers "Check for Updates": it says a check runs, then what the check found; a
// newer version comes with a button that opens its page. Not modal, and every text in it plain:
// the feed's and the server's words are shown as they are, never as markup or links.
class UpdateNotice : public QObject {
    Q_OBJECT

public:
    explicit UpdateNotice(update::UpdateController& controller);
    ~UpdateNotice() override;

    // Starts a check; while one runs, brings its window forward instead.
    void check();
    QMessageBox* box() const { return m_box; }

private:
    void show(QMessageBox::Icon icon, const UpdateNoticeText& notice);

    update::UpdateController& m_controller;
    QPointer<QMessageBox> m_box;
    QUrl m_downloadPage;
};

} // namespace tallyfin::ui
