// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

namespace tallyfin::analytics {

// The client's files (the signal cache, the preferences holding the user's identifier) are for
// this user's eyes only: owner-only files in owner-only folders.

// Creates `folder` and every missing folder above it with owner-only access (0700), and narrows
// `folder` itself to 0700 when it already exists and belongs to this user (folders above it that
// already exist are left alone: they may be shared). False when it cannot be created.
bool makePrivateFolder(const QString& folder);

// Narrows the file at `path` to owner read and write (0600). False when it cannot.
bool makePrivateFile(const QString& path);

} // namespace tallyfin::analytics
