// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "ConnectionLogging.h"

Q_LOGGING_CATEGORY(lcConnection, "tallyfin.connection", QtInfoMsg)
