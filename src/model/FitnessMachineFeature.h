// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace tallyfin {

// The connected machine's name and the capabilities it declares in its Fitness Machine Feature
// characteristic (0x2ACC): fifteen measurement flags, then five target-setting flags.
struct FitnessMachineFeature {
    Q_GADGET
    Q_PROPERTY(QString deviceName MEMBER deviceName)
    Q_PROPERTY(bool averageSpeedSupported MEMBER averageSpeedSupported)
    Q_PROPERTY(bool cadenceSupported MEMBER cadenceSupported)
    Q_PROPERTY(bool totalDistanceSupported MEMBER totalDistanceSupported)
    Q_PROPERTY(bool inclinationSupported MEMBER inclinationSupported)
    Q_PROPERTY(bool elevationGainSupported MEMBER elevationGainSupported)
    Q_PROPERTY(bool paceSupported MEMBER paceSupported)
    Q_PROPERTY(bool stepCountSupported MEMBER stepCountSupported)
    Q_PROPERTY(bool resistanceLevelSupported MEMBER resistanceLevelSupported)
    Q_PROPERTY(bool strideCountSupported MEMBER strideCountSupported)
    Q_PROPERTY(bool expendedEnergySupported MEMBER expendedEnergySupported)
    Q_PROPERTY(bool heartRateMeasurementSupported MEMBER heartRateMeasurementSupported)
    Q_PROPERTY(bool metabolicEquivalentSupported MEMBER metabolicEquivalentSupported)
    Q_PROPERTY(bool elapsedTimeSupported MEMBER elapsedTimeSupported)
    Q_PROPERTY(bool remainingTimeSupported MEMBER remainingTimeSupported)
    Q_PROPERTY(bool powerMeasurementSupported MEMBER powerMeasurementSupported)
    Q_PROPERTY(bool speedTargetSettingSupported MEMBER speedTargetSettingSupported)
    Q_PROPERTY(bool inclinationTargetSettingSupported MEMBER inclinationTargetSettingSupported)
    Q_PROPERTY(bool resistanceTargetSettingSupported MEMBER resistanceTargetSettingSupported)
    Q_PROPERTY(bool powerTargetSettingSupported MEMBER powerTargetSettingSupported)
    Q_PROPERTY(bool heartRateTargetSettingSupported MEMBER heartRateTargetSettingSupported)

public:
    QString deviceName;
    // Fitness Machine Features, bits 0 to 14.
    bool averageSpeedSupported = false;
    bool cadenceSupported = false;
    bool totalDistanceSupported = false;
    bool inclinationSupported = false;
    bool elevationGainSupported = false;
    bool paceSupported = false;
    bool stepCountSupported = false;
    bool resistanceLevelSupported = false;
    bool strideCountSupported = false;
    bool expendedEnergySupported = false;
    bool heartRateMeasurementSupported = false;
    bool metabolicEquivalentSupported = false;
    bool elapsedTimeSupported = false;
    bool remainingTimeSupported = false;
    bool powerMeasurementSupported = false;
    // Target Setting Features, bits 0 to 4.
    bool speedTargetSettingSupported = false;
    bool inclinationTargetSettingSupported = false;
    bool resistanceTargetSettingSupported = false;
    bool powerTargetSettingSupported = false;
    bool heartRateTargetSettingSupported = false;

    // Fixed English names of the measured values, in display order ("Speed", ..., "Time").
    Q_INVOKABLE QStringList supportedMetricNames() const;
    // Fixed English names of the accepted targets, in display order.
    Q_INVOKABLE QStringList controlCapabilityNames() const;
};

} // namespace tallyfin

Q_DECLARE_METATYPE(tallyfin::FitnessMachineFeature)
