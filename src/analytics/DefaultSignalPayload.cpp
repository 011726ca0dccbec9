// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/DefaultSignalPayload.h"

#include "analytics/SessionManager.h"
#include "analytics/SystemFacts.h"
#include "analytics/Timing.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRect>
#include <QVariant>

#include <cstdlib>

namespace tallyfin::analytics {

using namespace Qt::StringLiterals;

namespace {

QString boolText(bool value) {
    return value ? u"true"_s : u"false"_s;
}

// The primary screen of a QGuiApplication, read through its properties so that the library
// needs no link to QtGui.
QObject* primaryScreen() {
    auto* app = QCoreApplication::instance();
    if (app == nullptr) {
        return nullptr;
    }
    const QVariant screen = app->property("primaryScreen");
    return screen.isValid() ? screen.value<QObject*>() : nullptr;
}

QString layoutDirection() {
    auto* app = QCoreApplication::instance();
    const QVariant direction = app != nullptr ? app->property("layoutDirection") : QVariant();
    if (!direction.isValid()) {
        return u"N/A"_s;
    }
    return direction.toInt() == Qt::RightToLeft ? u"rightToLeft"_s : u"leftToRight"_s;
}

QString versionText(const SystemFacts::Version& version, int parts) {
    QString text = SystemFacts::platformName() % u' ' % QString::number(version.major);
    if (parts > 1) {
        text += u'.' % QString::number(version.minor);
    }
    if (parts > 2) {
        text += u'.' % QString::number(version.patch);
    }
    return text;
}

} // namespace

QString DefaultSignalPayload::timeZoneOffsetText(int offsetSeconds) {
    const QString sign = offsetSeconds < 0 ? u"-"_s : u"+"_s;
    const int hours = std::abs(offsetSeconds) / 3600;
    const int minutes = std::abs(offsetSeconds / 60) % 60;
    QString text = u"UTC" % sign % QString::number(hours);
    if (minutes != 0) {
        text += u':' % QString::number(minutes).rightJustified(2, u'0');
    }
    return text;
}

QString DefaultSignalPayload::decimalText(double value) {
    // Plain digits at any size: 'g' would write 100000 as 1e+05.
    QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    if (!text.contains(u'.') && !text.contains(u"inf") && !text.contains(u"nan")) {
        text += u".0"_s;
    }
    return text;
}

Parameters DefaultSignalPayload::baseParameters(const TelemetryManagerConfiguration& configuration,
                                                const QDateTime& now) {
    const QString platform = SystemFacts::platformName();
    const SystemFacts::Version version = SystemFacts::systemVersion();
    const QString systemVersion = versionText(version, 3);
    const QString majorSystemVersion = versionText(version, 1);
    const QString majorMinorSystemVersion = versionText(version, 2);

    const QString appVersion = QCoreApplication::applicationVersion().isEmpty()
                                   ? u"0"_s
                                   : QCoreApplication::applicationVersion();
    const QVariant buildProperty = QCoreApplication::instance() != nullptr
                                       ? QCoreApplication::instance()->property("buildNumber")
                                       : QVariant();
    const QString buildNumber =
        buildProperty.typeId() == QMetaType::QString ? buildProperty.toString() : u"0"_s;
    // There is no store receipt on Linux, so never a sandbox receipt.
    const bool isTestFlight = false;
    const QString model = SystemFacts::modelName();
    const QString architecture = SystemFacts::architecture();
    const QString locale = SystemFacts::localeIdentifier();
    const QString region = SystemFacts::regionCode();
    const QString language = SystemFacts::languageCode();
    const QString preferredLanguage = SystemFacts::preferredLanguage();

    QString screenHeight = u"N/A"_s;
    QString screenWidth = u"N/A"_s;
    QString screenScale = u"N/A"_s;
    if (QObject* screen = primaryScreen()) {
        const QRect geometry = screen->property("geometry").toRect();
        screenHeight = decimalText(geometry.height());
        screenWidth = decimalText(geometry.width());
        screenScale = decimalText(screen->property("devicePixelRatio").toDouble());
    }
    const auto darkAppearance = configuration.darkAppearance();
    const bool dark = darkAppearance && darkAppearance();
    const QString sdkVersionText = QString::fromLatin1(sdkVersion);

    return Parameters{
        {u"platform"_s, platform},
        {u"systemVersion"_s, systemVersion},
        {u"majorSystemVersion"_s, majorSystemVersion},
        {u"majorMinorSystemVersion"_s, majorMinorSystemVersion},
        {u"appVersion"_s, appVersion},
        {u"buildNumber"_s, buildNumber},
        {u"isSimulator"_s, u"false"_s},
        {u"isDebug"_s, u"false"_s},
        {u"isTestFlight"_s, boolText(isTestFlight)},
        {u"isAppStore"_s, boolText(!isTestFlight)},
        {u"modelName"_s, model},
        {u"architecture"_s, architecture},
        {u"operatingSystem"_s, platform},
        {u"targetEnvironment"_s, u"native"_s},
        {u"locale"_s, locale},
        {u"region"_s, region},
        {u"appLanguage"_s, language},
        {u"preferredLanguage"_s, preferredLanguage},
        {u"telemetryClientVersion"_s, sdkVersionText},
        {u"TelemetryDeck.AppInfo.buildNumber"_s, buildNumber},
        {u"TelemetryDeck.AppInfo.version"_s, appVersion},
        {u"TelemetryDeck.AppInfo.versionAndBuildNumber"_s,
         appVersion % u" (build " % buildNumber % u')'},
        {u"TelemetryDeck.Device.architecture"_s, architecture},
        {u"TelemetryDeck.Device.modelName"_s, model},
        {u"TelemetryDeck.Device.operatingSystem"_s, platform},
        {u"TelemetryDeck.Device.orientation"_s, u"Fixed"_s},
        {u"TelemetryDeck.Device.platform"_s, platform},
        {u"TelemetryDeck.Device.screenResolutionHeight"_s, screenHeight},
        {u"TelemetryDeck.Device.screenResolutionWidth"_s, screenWidth},
        {u"TelemetryDeck.Device.screenScaleFactor"_s, screenScale},
        {u"TelemetryDeck.Device.systemMajorMinorVersion"_s, majorMinorSystemVersion},
        {u"TelemetryDeck.Device.systemMajorVersion"_s, majorSystemVersion},
        {u"TelemetryDeck.Device.systemVersion"_s, systemVersion},
        {u"TelemetryDeck.Device.timeZone"_s, timeZoneOffsetText(now.toLocalTime().offsetFromUtc())},
        {u"TelemetryDeck.RunContext.isAppStore"_s, boolText(!isTestFlight)},
        {u"TelemetryDeck.RunContext.isDebug"_s, u"false"_s},
        {u"TelemetryDeck.RunContext.isSimulator"_s, u"false"_s},
        {u"TelemetryDeck.RunContext.isTestFlight"_s, boolText(isTestFlight)},
        {u"TelemetryDeck.RunContext.language"_s, language},
        {u"TelemetryDeck.RunContext.locale"_s, locale},
        {u"TelemetryDeck.RunContext.targetEnvironment"_s, u"native"_s},
        {u"TelemetryDeck.SDK.name"_s, u"SwiftSDK"_s},
        {u"TelemetryDeck.SDK.nameAndVersion"_s, u"SwiftSDK "_s + sdkVersionText},
        {u"TelemetryDeck.SDK.version"_s, sdkVersionText},
        {u"TelemetryDeck.UserPreference.colorScheme"_s, dark ? u"Dark"_s : u"Light"_s},
        {u"TelemetryDeck.UserPreference.language"_s, preferredLanguage},
        {u"TelemetryDeck.UserPreference.layoutDirection"_s, layoutDirection()},
        {u"TelemetryDeck.UserPreference.region"_s, region},
    };
}

int DefaultSignalPayload::weekOfYear(QDate date, const QLocale& locale) {
    const int firstDay = locale.firstDayOfWeek();
    const int minimumDays = firstDay == Qt::Monday ? 4 : 1;
    // The first day of the year's week 1: the start of the week holding 1 January, or of the
    // next one when too few of its days are in the new year.
    const auto weekOneStart = [&](int year) {
        const QDate first(year, 1, 1);
        const int intoWeek = (first.dayOfWeek() - firstDay + 7) % 7;
        const QDate start = first.addDays(-intoWeek);
        return 7 - intoWeek >= minimumDays ? start : start.addDays(7);
    };
    QDate start = weekOneStart(date.year() + 1);
    if (date < start) {
        start = weekOneStart(date.year());
        if (date < start) {
            start = weekOneStart(date.year() - 1);
        }
    }
    return static_cast<int>(start.daysTo(date) / 7) + 1;
}

Parameters DefaultSignalPayload::calendarParameters(const QDateTime& now, const QLocale& locale) {
    const QDateTime local = now.toLocalTime();
    const QDate date = local.date();
    // QDate counts Monday as 1 and Sunday as 7, the numbering the payload uses.
    const int dayOfWeek = date.isValid() ? date.dayOfWeek() : -1;
    const int month = date.isValid() ? date.month() : -1;
    const int quarter = month > 0 ? (month - 1) / 3 + 1 : -1;
    const int hour = local.time().isValid() ? local.time().hour() : -1;
    return Parameters{
        {u"TelemetryDeck.Calendar.dayOfMonth"_s, QString::number(date.isValid() ? date.day() : -1)},
        {u"TelemetryDeck.Calendar.dayOfWeek"_s, QString::number(dayOfWeek)},
        {u"TelemetryDeck.Calendar.dayOfYear"_s,
         QString::number(date.isValid() ? date.dayOfYear() : -1)},
        {u"TelemetryDeck.Calendar.weekOfYear"_s,
         QString::number(date.isValid() ? weekOfYear(date, locale) : -1)},
        {u"TelemetryDeck.Calendar.isWeekend"_s, boolText(dayOfWeek == 6 || dayOfWeek == 7)},
        {u"TelemetryDeck.Calendar.monthOfYear"_s, QString::number(month)},
        {u"TelemetryDeck.Calendar.quarterOfYear"_s, QString::number(quarter)},
        {u"TelemetryDeck.Calendar.hourOfDay"_s, QString::number(hour + 1)},
    };
}

Parameters DefaultSignalPayload::parameters(const TelemetryManagerConfiguration& configuration) {
    const QDateTime now = Clock::now();
    Parameters parameters = baseParameters(configuration, now);
    // Linux has no system-wide reduce-motion or invert-colours preference to read, so the
    // accessibility entries are left out, as for a system without that preferences domain.
    parameters.insert(calendarParameters(now));
    parameters.insert(SessionManager::shared().retentionParameters());
    return parameters;
}

} // namespace tallyfin::analytics
