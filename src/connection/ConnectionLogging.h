// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QLoggingCategory>

// The machine and strap managers: scanning, connecting, detection and the live values.
Q_DECLARE_LOGGING_CATEGORY(lcConnection)
