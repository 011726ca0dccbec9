// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace tallyfin::cli {

// Bytes written as hexadecimal on the command line: pairs of digits in either case, optionally
// grouped with spaces, colons or dashes ("0A 0B", "0a:0b", "0A0B-0C"). The empty text is the
// empty value. On bad input returns nullopt and sets `error` to why.
std::optional<QByteArray> parseHexBytes(QStringView text, QString& error);

} // namespace tallyfin::cli
