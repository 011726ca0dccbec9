// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "UpdateLogging.h"

Q_LOGGING_CATEGORY(lcUpdate, "tallyfin.update", QtInfoMsg)
