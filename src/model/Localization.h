// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

class QCoreApplication;

namespace tallyfin {

// Installs the string tables into `app`, so that qtTrId (and QML's qsTrId) finds the texts behind
// the dotted keys: English, the source and the fallback for any key, and over it the table of the
// first of `languages` that has one (most preferred first, as QLocale::uiLanguages() lists them
// from LANGUAGE, LC_ALL, LC_MESSAGES and LANG), with Qt's own texts in that language where the
// system has them. Call before any text is looked up; a later call replaces what an earlier one
// installed. Returns the language chosen ("en", "de"), or an empty text when even the English
// table could not be loaded, in which case every lookup yields its key or default.
QString installTranslations(QCoreApplication& app,
                            const QStringList& languages = QLocale::system().uiLanguages());

// The text behind `id` in the installed string table. A key without an entry yields
// `defaultText` when one is given, and the key itself otherwise.
QString localizedText(const char* id, QStringView defaultText = {});

// A looked-up text used as a format: the argument replaces its placeholder; a text without one is
// shown unchanged.
QString formatted(const QString& text, const QString& argument);

} // namespace tallyfin
