// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <QStringView>

namespace tallyfin {

// Texts that anyone can send (a device's name, a server's answer, a pasted log) made safe to
// show, log and print: no line breaks, no terminal escapes, no reordering of the text around them.

// The longest name kept, in characters: what a Bluetooth name can carry (248 bytes).
inline constexpr qsizetype maximumNameLength = 248;

// True for the characters that never reach a screen, a log or a terminal as they are: the C0
// and C1 controls with DEL, the line and paragraph separators (U+2028, U+2029), the
// bidirectional controls (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069) and lone
// surrogates.
bool isUnsafeCharacter(char32_t c);

// A device's name as it is shown, logged, printed and stored: every unsafe character replaced by
// U+FFFD (so that the name visibly holds something it should not, rather than a harmless-looking
// space), one line, and at most maximumNameLength characters (a longer one keeps its start and
// ends in "…"). A name that needs none of this comes back as it is, without a copy.
QString sanitizedName(const QString& name);

// `text` for a log line or a terminal: every unsafe character written as \xNN (up to U+00FF) or
// \u{NNNN}, everything else unchanged.
QString escapedText(QStringView text);

} // namespace tallyfin
