// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Fuzz target: the appcast feed reader. Every input either reads as a feed whose items all carry
// a version and an address, or gives an error; never both, never neither.
#include "ui/update/Appcast.h"

#include <QUrl>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    static const QUrl feedUrl(QStringLiteral("https://tallyfin.example/updates/appcast.xml"));
    const auto result = tallyfin::update::parseAppcast(bytes, feedUrl);
    if (result.appcast.has_value() == !result.error.isEmpty()) {
        std::abort();
    }
    if (result.appcast) {
        for (const auto& item : result.appcast->items) {
            if (item.version.isEmpty() || item.downloadPage().isEmpty()) {
                std::abort();
            }
        }
        (void)result.appcast->newestItem();
    }
    return 0;
}
