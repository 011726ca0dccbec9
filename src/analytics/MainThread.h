// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <functional>

namespace tallyfin::analytics {

// True on the thread of the application object (or when there is none).
bool isMainThread();
// Queues the function on the application's event loop; runs it at once without an application.
void postToMainThread(std::function<void()> function);
// Runs the function on the thread pool of background work.
void postToBackground(std::function<void()> function);

} // namespace tallyfin::analytics
