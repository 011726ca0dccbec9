// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

namespace tallyfin::analytics {

// SHA-256 of the UTF-8 bytes of text followed by salt, as 64 lower-case hexadecimal digits.
QString sha256Hex(const QString& text, const QString& salt);

} // namespace tallyfin::analytics
