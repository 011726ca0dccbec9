// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// The preset signal families of the facade: fixed names and keys in the service's vocabulary.

#include "analytics/SignalComposition.h"
#include "analytics/TelemetryDeck.h"
#include "analytics/TelemetryManager.h"

#include <QMutex>

namespace tallyfin::analytics {

using namespace Qt::StringLiterals;

namespace {

void sendPreset(const QString& name, Parameters fixed, const Parameters& parameters,
                std::optional<double> floatValue, const std::optional<QString>& customUserID) {
    TelemetryDeck::internalSignal(name, composition::merged(std::move(fixed), parameters),
                                  floatValue, customUserID);
}

QMutex navigationMutex;
std::optional<QString>& previousPath() {
    static std::optional<QString> path;
    return path;
}

} // namespace

QString errorCategoryRawValue(ErrorCategory category) {
    switch (category) {
    case ErrorCategory::ThrownException:
        return u"thrown-exception"_s;
    case ErrorCategory::UserInput:
        return u"user-input"_s;
    case ErrorCategory::AppState:
        return u"app-state"_s;
    }
    return {};
}

AnyIdentifiableError::AnyIdentifiableError(QString id, QString description)
    : m_id(std::move(id))
    , m_description(std::move(description)) {}

AnyIdentifiableError AnyIdentifiableError::with(const std::exception& error, const QString& id) {
    return AnyIdentifiableError(id, QString::fromUtf8(error.what()));
}

std::optional<QString> NavigationStatus::previousNavigationPath() {
    QMutexLocker locker(&navigationMutex);
    return previousPath();
}

void NavigationStatus::setPreviousNavigationPath(const std::optional<QString>& path) {
    QMutexLocker locker(&navigationMutex);
    previousPath() = path;
}

void TelemetryDeck::acquiredUser(const QString& channel, const Parameters& parameters,
                                 const std::optional<QString>& customUserID) {
    sendPreset(u"TelemetryDeck.Acquisition.userAcquired"_s,
               {{u"TelemetryDeck.Acquisition.channel"_s, channel}}, parameters, {}, customUserID);
}

void TelemetryDeck::leadStarted(const QString& leadID, const Parameters& parameters,
                                const std::optional<QString>& customUserID) {
    sendPreset(u"TelemetryDeck.Acquisition.leadStarted"_s,
               {{u"TelemetryDeck.Acquisition.leadID"_s, leadID}}, parameters, {}, customUserID);
}

void TelemetryDeck::leadConverted(const QString& leadID, const Parameters& parameters,
                                  const std::optional<QString>& customUserID) {
    sendPreset(u"TelemetryDeck.Acquisition.leadConverted"_s,
               {{u"TelemetryDeck.Acquisition.leadID"_s, leadID}}, parameters, {}, customUserID);
}

void TelemetryDeck::onboardingCompleted(const Parameters& parameters,
                                        const std::optional<QString>& customUserID) {
    sendPreset(u"TelemetryDeck.Activation.onboardingCompleted"_s, {}, parameters, {}, customUserID);
}

void TelemetryDeck::coreFeatureUsed(const QString& featureName, const Parameters& parameters,
                                    const std::optional<QString>& customUserID) {
    sendPreset(u"TelemetryDeck.Activation.coreFeatureUsed"_s,
               {{u"TelemetryDeck.Activation.featureName"_s, featureName}}, parameters, {},
               customUserID);
}

void TelemetryDeck::referralSent(int receiversCount, const std::optional<QString>& kind,
                                 const Parameters& parameters,
                                 const std::optional<QString>& customUserID) {
    Parameters fixed{{u"TelemetryDeck.Referral.receiversCount"_s, QString::number(receiversCount)}};
    if (kind) {
        fixed.insert(u"TelemetryDeck.Referral.kind"_s, *kind);
    }
    sendPreset(u"TelemetryDeck.Referral.sent"_s, std::move(fixed), parameters, {}, customUserID);
}

void TelemetryDeck::userRatingSubmitted(int rating, const std::optional<QString>& comment,
                                        const Parameters& parameters,
                                        const std::optional<QString>& customUserID) {
    if (rating < 0 || rating > 10) {
        TelemetryManager::shared()->configuration()->log(LogLevel::Error,
                                                         u"Rating must be between 0 and 10"_s);
        return;
    }
    Parameters fixed{{u"TelemetryDeck.Referral.ratingValue"_s, QString::number(rating)}};
    if (comment) {
        fixed.insert(u"TelemetryDeck.Referral.ratingComment"_s, *comment);
    }
    sendPreset(u"TelemetryDeck.Referral.userRatingSubmitted"_s, std::move(fixed), parameters, {},
               customUserID);
}

void TelemetryDeck::paywallShown(const QString& reason, const Parameters& parameters,
                                 const std::optional<QString>& customUserID) {
    sendPreset(u"TelemetryDeck.Revenue.paywallShown"_s,
               {{u"TelemetryDeck.Revenue.paywallShowReason"_s, reason}}, parameters, {},
               customUserID);
}

void TelemetryDeck::errorOccurred(const QString& id, std::optional<ErrorCategory> category,
                                  const std::optional<QString>& message,
                                  const Parameters& parameters, std::optional<double> floatValue,
                                  const std::optional<QString>& customUserID) {
    Parameters fixed{{u"TelemetryDeck.Error.id"_s, id}};
    if (category) {
        fixed.insert(u"TelemetryDeck.Error.category"_s, errorCategoryRawValue(*category));
    }
    if (message) {
        fixed.insert(u"TelemetryDeck.Error.message"_s, *message);
    }
    sendPreset(u"TelemetryDeck.Error.occurred"_s, std::move(fixed), parameters, floatValue,
               customUserID);
}

void TelemetryDeck::errorOccurred(const IdentifiableError& error, ErrorCategory category,
                                  const Parameters& parameters, std::optional<double> floatValue,
                                  const std::optional<QString>& customUserID) {
    errorOccurred(error.id(), category, error.localizedDescription(), parameters, floatValue,
                  customUserID);
}

void TelemetryDeck::errorOccurred(const IdentifiableError& error, ErrorCategory category,
                                  const std::optional<QString>& message,
                                  const Parameters& parameters, std::optional<double> floatValue,
                                  const std::optional<QString>& customUserID) {
    errorOccurred(error.id(), category, message, parameters, floatValue, customUserID);
}

void TelemetryDeck::navigationPathChanged(const QString& from, const QString& to,
                                          const std::optional<QString>& customUserID) {
    NavigationStatus::setPreviousNavigationPath(to);
    const Parameters parameters{
        {u"TelemetryDeck.Navigation.schemaVersion"_s, u"1"_s},
        {u"TelemetryDeck.Navigation.identifier"_s, from % u" -> " % to},
        {u"TelemetryDeck.Navigation.sourcePath"_s, from},
        {u"TelemetryDeck.Navigation.destinationPath"_s, to},
    };
    internalSignal(u"TelemetryDeck.Navigation.pathChanged"_s, parameters, {}, customUserID);
}

void TelemetryDeck::navigationPathChanged(const QString& to,
                                          const std::optional<QString>& customUserID) {
    navigationPathChanged(NavigationStatus::previousNavigationPath().value_or(QString()), to,
                          customUserID);
}

} // namespace tallyfin::analytics
