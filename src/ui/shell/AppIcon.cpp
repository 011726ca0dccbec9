// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "AppIcon.h"

#include "tallyfin/BuildInfo.h"

namespace tallyfin::ui {

QIcon applicationIcon() {
    return QIcon::fromTheme(QString::fromLatin1(buildinfo::desktopAppId),
                            QIcon(QStringLiteral(":/icons/tallyfin.svg")));
}

} // namespace tallyfin::ui
