// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "RendererChoice.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace tallyfin::ui {

bool shouldDrawInSoftware(const Environment& environment, const std::function<bool()>& gpuUsable) {
    if (!environment("QT_QUICK_BACKEND").isEmpty() || !environment("QSG_RHI_BACKEND").isEmpty()) {
        return false;
    }
    const QByteArray forced = environment("LIBGL_ALWAYS_SOFTWARE");
    if (!forced.isEmpty() && forced != "0" && forced != "false") {
        return true;
    }
    return !gpuUsable();
}

bool gpuDeviceUsable() {
    const auto usable = [](const QString& path) {
        return ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
    };
    const QDir dri(QStringLiteral("/dev/dri"));
    for (const QString& node : dri.entryList({QStringLiteral("renderD*")}, QDir::System)) {
        if (usable(dri.filePath(node))) {
            return true;
        }
    }
    return usable(QStringLiteral("/dev/nvidiactl"));
}

} // namespace tallyfin::ui
