// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace tallyfin::analytics {

namespace {
constexpr QFile::Permissions ownerOnlyFolder =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr QFile::Permissions ownerOnlyFile = QFile::ReadOwner | QFile::WriteOwner;
} // namespace

bool makePrivateFolder(const QString& folder) {
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QFileInfo info(path);
    if (info.isDir()) {
        return info.ownerId() != ::geteuid() || QFile::setPermissions(path, ownerOnlyFolder);
    }
    const QString parent = info.path();
    if (parent == path || !(QFileInfo(parent).isDir() || makePrivateFolder(parent))) {
        return false;
    }
    return QDir().mkdir(path, ownerOnlyFolder) || QFileInfo(path).isDir();
}

bool makePrivateFile(const QString& path) {
    return QFile::setPermissions(path, ownerOnlyFile);
}

} // namespace tallyfin::analytics
