// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/SystemFacts.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSysInfo>

#include <sys/utsname.h>

namespace tallyfin::analytics {

using namespace Qt::StringLiterals;

namespace {

QString upToFirstZero(const QByteArray& bytes) {
    const qsizetype end = bytes.indexOf('\0');
    return QString::fromUtf8(end < 0 ? bytes : bytes.left(end)).trimmed();
}

const QRegularExpression& separators() {
    static const QRegularExpression expression(u"[-_]"_s);
    return expression;
}

QString firstComponent(const QString& identifier) {
    return identifier.split(separators()).constFirst();
}

QString lastComponent(const QString& identifier) {
    return identifier.split(separators()).constLast();
}

} // namespace

QString SystemFacts::platformName() {
    return u"Linux"_s;
}

SystemFacts::Version SystemFacts::parseVersion(const QString& release) {
    static const QRegularExpression numbers(u"^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"_s);
    const QRegularExpressionMatch match = numbers.match(release);
    Version version;
    if (match.hasMatch()) {
        version.major = match.captured(1).toInt();
        version.minor = match.captured(2).toInt();
        version.patch = match.captured(3).toInt();
    }
    return version;
}

SystemFacts::Version SystemFacts::systemVersion() {
    static const Version version = parseVersion(QSysInfo::kernelVersion());
    return version;
}

QString SystemFacts::modelName() {
    static const QString model = [] {
        QFile product(u"/sys/class/dmi/id/product_name"_s);
        if (product.open(QIODevice::ReadOnly)) {
            const QString name = upToFirstZero(product.read(256));
            if (!name.isEmpty() && !name.contains(QChar::ReplacementCharacter)) {
                return name;
            }
        }
        utsname system{};
        if (uname(&system) == 0) {
            return upToFirstZero(QByteArray(system.machine, sizeof system.machine));
        }
        return QSysInfo::currentCpuArchitecture();
    }();
    return model;
}

QString SystemFacts::architecture() {
    return QSysInfo::buildCpuArchitecture();
}

QString SystemFacts::localeIdentifier() {
    return QLocale::system().name();
}

QString SystemFacts::regionCode() {
    const QLocale locale = QLocale::system();
    const QString code = locale.territory() == QLocale::AnyTerritory
                             ? QString()
                             : QLocale::territoryToCode(locale.territory());
    return code.isEmpty() ? lastComponent(locale.name()) : code;
}

QString SystemFacts::languageCode() {
    const QLocale locale = QLocale::system();
    const QString code = locale.language() == QLocale::AnyLanguage
                             ? QString()
                             : QLocale::languageToCode(locale.language());
    return code.isEmpty() ? firstComponent(locale.name()) : code;
}

QString SystemFacts::preferredLanguage() {
    return preferredLanguageFrom(QLocale::system().uiLanguages());
}

QString SystemFacts::preferredLanguageFrom(const QStringList& uiLanguages) {
    return firstComponent(uiLanguages.isEmpty() ? u"zz-ZZ"_s : uiLanguages.constFirst());
}

} // namespace tallyfin::analytics
