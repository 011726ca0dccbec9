// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include "analytics/TelemetryManagerConfiguration.h"

#include <QString>

#include <memory>
#include <optional>

namespace tallyfin::analytics {

// Kinds of error for the error preset.
enum class ErrorCategory { ThrownException, UserInput, AppState };
// "thrown-exception", "user-input" or "app-state".
QString errorCategoryRawValue(ErrorCategory category);

// An error that carries a stable identifier.
class IdentifiableError {
public:
    virtual ~IdentifiableError() = default;
    virtual QString id() const = 0;
    virtual QString localizedDescription() const = 0;
};

// Gives any error an identifier.
class AnyIdentifiableError : public IdentifiableError {
public:
    AnyIdentifiableError(QString id, QString description);
    static AnyIdentifiableError with(const std::exception& error, const QString& id);

    QString id() const override { return m_id; }
    QString localizedDescription() const override { return m_description; }

private:
    QString m_id;
    QString m_description;
};

// The entry points of the analytics client, callable from any thread. Nothing here blocks on the
// network or reports errors: problems go to the configuration's log handler.
class TelemetryDeck {
public:
    TelemetryDeck() = delete;

    // Builds a manager from the configuration and installs it, replacing any installed one.
    static void initialize(std::shared_ptr<TelemetryManagerConfiguration> configuration);
    // Removes the installed manager.
    static void terminate();

    // Sends one signal; name and parameter keys get the configured prefixes.
    static void signal(const QString& name, const Parameters& parameters = {},
                       std::optional<double> floatValue = {},
                       const std::optional<QString>& customUserID = {});
    // The unprefixed, unchecked path shared by the public path, sessions, presets and durations.
    static void internalSignal(const QString& name, const Parameters& parameters = {},
                               std::optional<double> floatValue = {},
                               const std::optional<QString>& customUserID = {});

    static void generateNewSession();
    static void updateDefaultUser(const std::optional<QString>& user);
    // Asks for an early upload; at most one per ten seconds.
    static void requestImmediateSync();

    // Duration signals: the stop sends the name with "TelemetryDeck.Signal.durationInSeconds".
    static void startDurationSignal(const QString& name, const Parameters& parameters = {},
                                    bool includeBackgroundTime = false);
    static void stopAndSendDurationSignal(const QString& name, const Parameters& parameters = {},
                                          std::optional<double> floatValue = {},
                                          const std::optional<QString>& customUserID = {});
    static void cancelDurationSignal(const QString& name);

    // Preset signal families.
    static void acquiredUser(const QString& channel, const Parameters& parameters = {},
                             const std::optional<QString>& customUserID = {});
    static void leadStarted(const QString& leadID, const Parameters& parameters = {},
                            const std::optional<QString>& customUserID = {});
    static void leadConverted(const QString& leadID, const Parameters& parameters = {},
                              const std::optional<QString>& customUserID = {});
    static void onboardingCompleted(const Parameters& parameters = {},
                                    const std::optional<QString>& customUserID = {});
    static void coreFeatureUsed(const QString& featureName, const Parameters& parameters = {},
                                const std::optional<QString>& customUserID = {});
    static void referralSent(int receiversCount = 1, const std::optional<QString>& kind = {},
                             const Parameters& parameters = {},
                             const std::optional<QString>& customUserID = {});
    // Sends nothing and logs an error for a rating outside 0 to 10.
    static void userRatingSubmitted(int rating, const std::optional<QString>& comment = {},
                                    const Parameters& parameters = {},
                                    const std::optional<QString>& customUserID = {});
    static void paywallShown(const QString& reason, const Parameters& parameters = {},
                             const std::optional<QString>& customUserID = {});
    static void errorOccurred(const QString& id, std::optional<ErrorCategory> category = {},
                              const std::optional<QString>& message = {},
                              const Parameters& parameters = {},
                              std::optional<double> floatValue = {},
                              const std::optional<QString>& customUserID = {});
    // The message is the error's localized description.
    static void errorOccurred(const IdentifiableError& error, ErrorCategory category,
                              const Parameters& parameters = {},
                              std::optional<double> floatValue = {},
                              const std::optional<QString>& customUserID = {});
    static void errorOccurred(const IdentifiableError& error, ErrorCategory category,
                              const std::optional<QString>& message,
                              const Parameters& parameters = {},
                              std::optional<double> floatValue = {},
                              const std::optional<QString>& customUserID = {});
    // Meant for the main thread, where navigation happens.
    static void navigationPathChanged(const QString& from, const QString& to,
                                      const std::optional<QString>& customUserID = {});
    static void navigationPathChanged(const QString& to,
                                      const std::optional<QString>& customUserID = {});
};

// The last destination given to navigationPathChanged.
class NavigationStatus {
public:
    static std::optional<QString> previousNavigationPath();
    static void setPreviousNavigationPath(const std::optional<QString>& path);
};

} // namespace tallyfin::analytics
