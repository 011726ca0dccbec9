// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Fuzz target: version comparison. The input is two versions on two lines; the order must be
// antisymmetric and every version equal to itself.
#include "ui/update/VersionComparison.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype newline = text.indexOf(u'\n');
    const QStringView a = newline < 0 ? QStringView(text) : QStringView(text).first(newline);
    const QStringView b = newline < 0 ? QStringView() : QStringView(text).sliced(newline + 1);
    using tallyfin::update::compareVersions;
    const int ab = compareVersions(a, b);
    const int ba = compareVersions(b, a);
    if (ab < -1 || ab > 1 || ab != -ba || compareVersions(a, a) != 0) {
        std::abort();
    }
    return 0;
}
