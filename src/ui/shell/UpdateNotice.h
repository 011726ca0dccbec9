// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/update/UpdateController.h"

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

// Tells the user what a check found; a newer version comes with a button that opens its page.
void showUpdateNotice(const update::UpdateCheckResult& result);

} // namespace tallyfin::ui
