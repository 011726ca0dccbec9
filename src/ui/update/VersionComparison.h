// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QStringView>

namespace tallyfin::update {

// Compares two version texts the way appcast feeds expect: numbers numerically ("10" after "9"),
// letters as pre-releases ("1.0b2" before "1.0"), missing trailing zero parts as equal ("1.5" and
// "1.5.0"). Returns a negative number when `a` is older, 0 when equal, positive when newer.
int compareVersions(QStringView a, QStringView b);

} // namespace tallyfin::update
