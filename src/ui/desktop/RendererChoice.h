// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/desktop/PlatformChoice.h"

#include <functional>

namespace tallyfin::ui {

// Without a GPU, Qt Quick's OpenGL renderer runs on Mesa's software rasteriser: it draws the
// whole window for every frame, on threads of its own, with the GL stack taking a hundred
// megabytes. Qt Quick's software renderer redraws only the places that changed, in half the
// memory. True when Qt Quick should draw in software: no GPU is usable (`gpuUsable`) or Mesa is
// told to rasterise in software, and the user has not chosen a renderer (QT_QUICK_BACKEND,
// QSG_RHI_BACKEND).
bool shouldDrawInSoftware(const Environment& environment, const std::function<bool()>& gpuUsable);

// Whether this process may use a GPU: a DRM render node or an NVIDIA device it can open.
bool gpuDeviceUsable();

} // namespace tallyfin::ui
