// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ModelLogging.h"

namespace tallyfin {
Q_LOGGING_CATEGORY(lcModel, "tallyfin.model", QtInfoMsg)
} // namespace tallyfin
