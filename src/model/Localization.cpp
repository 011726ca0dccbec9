// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "model/Localization.h"

#include "model/ModelLogging.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>

namespace tallyfin {

using namespace Qt::StringLiterals;

namespace {

// Marks the translators installTranslations owns, so that a later call can replace them.
constexpr auto translatorName = "tallyfin.translator"_L1;

QString tablePath(const QString& language) {
    return u":/i18n/tallyfin_"_s + language + u".qm"_s;
}

// The first of `languages` with a compiled table; English, the source, when none has one.
QString chosenLanguage(const QStringList& languages) {
    for (const QString& tag : languages) {
        const QLocale locale(tag);
        if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage) {
            continue;
        }
        const QString code = QLocale::languageToCode(locale.language());
        if (QFile::exists(tablePath(code))) {
            return code;
        }
    }
    return u"en"_s;
}

bool install(QCoreApplication& app, const QString& file, const QString& directory = {}) {
    // Owned by the application, so it lives exactly as long as the lookups that use it.
    auto* translator = new QTranslator(&app);
    translator->setObjectName(translatorName);
    if (!translator->load(file, directory)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

} // namespace

QString installTranslations(QCoreApplication& app, const QStringList& languages) {
    const auto previous =
        app.findChildren<QTranslator*>(translatorName, Qt::FindDirectChildrenOnly);
    for (QTranslator* translator : previous) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    // Tables installed later are asked first: English goes in first, under every other language.
    if (!install(app, tablePath(u"en"_s))) {
        qCWarning(lcModel) << "could not load the English string table";
        return {};
    }
    const QString language = chosenLanguage(languages);
    if (language == u"en"_s) {
        return language;
    }
    if (!install(app, tablePath(language))) {
        qCWarning(lcModel) << "could not load the string table for" << language;
        return u"en"_s;
    }
    // Qt's own texts (shortcut names, network errors); without them those stay English.
    if (!install(app, u"qtbase_"_s + language,
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qCInfo(lcModel) << "no Qt translations for" << language << "on this system";
    }
    return language;
}

QString localizedText(const char* id, QStringView defaultText) {
    QString text = qtTrId(id);
    // qtTrId hands back the id itself when no installed table has the key.
    if (!defaultText.isEmpty() && text == QLatin1String(id)) {
        return defaultText.toString();
    }
    return text;
}

QString formatted(const QString& text, const QString& argument) {
    return text.contains(QLatin1String("%1")) ? text.arg(argument) : text;
}

} // namespace tallyfin
