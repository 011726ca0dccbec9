// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

#include <chrono>

class QQuickWindow;

namespace tallyfin::ui {

// After `delay`, renders `window` into `file` and ends the program: status 0 when the picture
// was written, 1 (with a message) when it could not be.
void takeScreenshotLater(QQuickWindow& window, const QString& file,
                         std::chrono::milliseconds delay);

} // namespace tallyfin::ui
