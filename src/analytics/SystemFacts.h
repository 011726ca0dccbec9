// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

namespace tallyfin::analytics {

// What the running Linux system says about itself, in the forms the default payload uses.
struct SystemFacts {
    struct Version {
        int major = 0;
        int minor = 0;
        int patch = 0;
    };

    // Platform name as the service knows it.
    static QString platformName();
    // The kernel release, cut to its numeric major.minor.patch.
    static Version systemVersion();
    // Leading numbers of a kernel release such as "6.1.0-13-amd64".
    static Version parseVersion(const QString& release);
    // DMI product name, else the machine field of uname.
    static QString modelName();
    // The processor architecture the program was built for.
    static QString architecture();

    // Region, language and preferred language from the current locale.
    static QString localeIdentifier();
    static QString regionCode();
    static QString languageCode();
    static QString preferredLanguage();
    // The first part of a language tag: de-CH gives de, an empty list gives zz.
    static QString preferredLanguageFrom(const QStringList& uiLanguages);
};

} // namespace tallyfin::analytics
