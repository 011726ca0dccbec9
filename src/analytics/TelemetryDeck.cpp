// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "analytics/TelemetryDeck.h"

#include "analytics/DurationSignalTracker.h"
#include "analytics/MainThread.h"
#include "analytics/SignalComposition.h"
#include "analytics/TelemetryManager.h"

namespace tallyfin::analytics {

using namespace Qt::StringLiterals;

namespace {

bool silenced(const TelemetryManagerConfiguration& configuration) {
    return configuration.previewMode() || configuration.analyticsDisabled();
}

void logParameterKeyWarnings(const TelemetryManagerConfiguration& configuration,
                             const Parameters& parameters) {
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
        const QString warning = composition::parameterKeyWarning(it.key());
        if (!warning.isEmpty()) {
            configuration.log(LogLevel::Error, warning);
        }
    }
}

} // namespace

void TelemetryDeck::initialize(std::shared_ptr<TelemetryManagerConfiguration> configuration) {
    TelemetryManager::initialize(std::move(configuration));
}

void TelemetryDeck::terminate() {
    TelemetryManager::terminate();
}

void TelemetryDeck::signal(const QString& name, const Parameters& parameters,
                           std::optional<double> floatValue,
                           const std::optional<QString>& customUserID) {
    const auto configuration = TelemetryManager::shared()->configuration();
    if (silenced(*configuration)) {
        return;
    }
    const QString signalName = configuration->defaultSignalPrefix().value_or(QString()) + name;
    const Parameters prefixed =
        composition::prefixedParameters(parameters, configuration->defaultParameterPrefix());
    if (configuration->reservedParameterWarningsEnabled()) {
        const QString warning = composition::signalNameWarning(signalName);
        if (!warning.isEmpty()) {
            configuration->log(LogLevel::Error, warning);
        }
        logParameterKeyWarnings(*configuration, prefixed);
    }
    internalSignal(signalName, prefixed, floatValue, customUserID);
}

void TelemetryDeck::internalSignal(const QString& name, const Parameters& parameters,
                                   std::optional<double> floatValue,
                                   const std::optional<QString>& customUserID) {
    auto manager = TelemetryManager::shared();
    auto configuration = manager->configuration();
    if (silenced(*configuration)) {
        return;
    }
    const auto defaultParametersFunction = configuration->defaultParameters();
    const Parameters defaults = composition::prefixedParameters(
        defaultParametersFunction ? defaultParametersFunction() : Parameters(),
        configuration->defaultParameterPrefix());
    const Parameters mergedParameters = composition::merged(defaults, parameters);
    logParameterKeyWarnings(*configuration, defaults);
    manager->signalManager().noteBuilding();
    postToMainThread([manager = std::move(manager), configuration = std::move(configuration), name,
                      mergedParameters, floatValue, customUserID]() mutable {
        manager->signalManager().processSignal(name, mergedParameters, floatValue, customUserID,
                                               std::move(configuration));
    });
}

void TelemetryDeck::generateNewSession() {
    TelemetryManager::generateNewSession();
}

void TelemetryDeck::updateDefaultUser(const std::optional<QString>& user) {
    TelemetryManager::updateDefaultUser(user);
}

void TelemetryDeck::requestImmediateSync() {
    TelemetryManager::requestImmediateSync();
}

void TelemetryDeck::startDurationSignal(const QString& name, const Parameters& parameters,
                                        bool includeBackgroundTime) {
    DurationSignalTracker::shared().startTracking(name, parameters, includeBackgroundTime);
}

void TelemetryDeck::stopAndSendDurationSignal(const QString& name, const Parameters& parameters,
                                              std::optional<double> floatValue,
                                              const std::optional<QString>& customUserID) {
    const auto stopped = DurationSignalTracker::shared().stopTracking(name);
    if (!stopped) {
        return;
    }
    const double duration = static_cast<double>(stopped->milliseconds) / 1000.0;
    Parameters signalParameters{{u"TelemetryDeck.Signal.durationInSeconds"_s,
                                 DurationSignalTracker::durationText(duration)}};
    signalParameters = composition::merged(signalParameters, stopped->parameters);
    signalParameters = composition::merged(signalParameters, parameters);
    internalSignal(name, signalParameters, floatValue, customUserID);
}

void TelemetryDeck::cancelDurationSignal(const QString& name) {
    DurationSignalTracker::shared().stopTracking(name);
}

} // namespace tallyfin::analytics
