// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#include "OverlaySizeManager.h"

#include "PanelLogging.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSettings>

namespace tallyfin::ui {

namespace {

struct SharedHolder {
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<OverlaySizeManager> manager;
};

SharedHolder& holder() {
    static SharedHolder instance;
    return instance;
}

} // namespace

OverlaySizeManager::OverlaySizeManager(QSettings* settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_panel(new PanelPreferences(settings, this)) {
    const QString stored = storedSize();
    if (const auto size = overlaySizeFromName(stored)) {
        m_currentSize = *size;
    } else if (m_settings->contains(QLatin1String(sizeKey))) {
        qCWarning(lcPanel).noquote()
            << "stored overlay size" << stored << "is not small, medium or large; using medium";
    }
    m_animateMetrics = storedAnimateMetrics();

    m_unitSystem = unitSystemOf(QLocale());
    if (const QVariant units = m_settings->value(QLatin1String(unitsKey)); units.isValid()) {
        if (const auto chosen = unitSystemFromName(units.toString())) {
            m_unitSystem = *chosen;
        } else {
            qCWarning(lcPanel).noquote() << "stored units" << units.toString()
                                         << "are not metric or imperial; following the locale";
        }
    }
}

OverlaySizeManager::~OverlaySizeManager() = default;

OverlaySizeManager& OverlaySizeManager::shared() {
    SharedHolder& h = holder();
    if (!h.manager) {
        h.settings = std::make_unique<QSettings>();
        h.manager = std::make_unique<OverlaySizeManager>(h.settings.get());
    }
    return *h.manager;
}

std::unique_ptr<OverlaySizeManager>
OverlaySizeManager::replaceShared(std::unique_ptr<OverlaySizeManager> manager) {
    std::unique_ptr<OverlaySizeManager> previous = std::move(holder().manager);
    holder().manager = std::move(manager);
    return previous;
}

void OverlaySizeManager::setCurrentSize(OverlaySize size) {
    const bool changed = size != m_currentSize;
    m_currentSize = size;
    if (changed) {
        Q_EMIT currentSizeChanged(size);
    }
}

void OverlaySizeManager::setAnimateMetrics(bool animate) {
    const bool changed = animate != m_animateMetrics;
    m_animateMetrics = animate;
    if (changed) {
        Q_EMIT animateMetricsChanged(animate);
    }
}

QString OverlaySizeManager::storedSize() const {
    const QVariant value = m_settings->value(QLatin1String(sizeKey));
    return value.isValid() ? value.toString() : QStringLiteral("medium");
}

bool OverlaySizeManager::storedAnimateMetrics() const {
    const QVariant value = m_settings->value(QLatin1String(animateKey));
    if (!value.isValid()) {
        return true;
    }
    // QSettings keeps booleans as text in INI files; anything but a clear "false" stays on.
    if (value.typeId() == QMetaType::QString) {
        return value.toString().compare(u"false", Qt::CaseInsensitive) != 0;
    }
    return value.toBool();
}

void OverlaySizeManager::chooseSize(OverlaySize size) {
    setCurrentSize(size);
    m_settings->setValue(QLatin1String(sizeKey), overlaySizeName(size));
}

bool OverlaySizeManager::chooseSizeIndex(int index) {
    if (index < 0 || index >= static_cast<int>(allOverlaySizes.size())) {
        qCWarning(lcPanel) << "no overlay size at index" << index;
        return false;
    }
    chooseSize(allOverlaySizes[static_cast<std::size_t>(index)]);
    return true;
}

void OverlaySizeManager::chooseAnimateMetrics(bool animate) {
    setAnimateMetrics(animate);
    m_settings->setValue(QLatin1String(animateKey), animate);
}

void OverlaySizeManager::setUnitSystem(UnitSystem units) {
    const bool changed = units != m_unitSystem;
    m_unitSystem = units;
    if (changed) {
        Q_EMIT unitSystemChanged(units);
    }
}

void OverlaySizeManager::chooseUnitSystem(UnitSystem units) {
    setUnitSystem(units);
    m_settings->setValue(QLatin1String(unitsKey), unitSystemName(units));
}

bool OverlaySizeManager::chooseUnitSystemIndex(int index) {
    if (index < 0 || index >= static_cast<int>(allUnitSystems.size())) {
        qCWarning(lcPanel) << "no units at index" << index;
        return false;
    }
    chooseUnitSystem(allUnitSystems[static_cast<std::size_t>(index)]);
    return true;
}

} // namespace tallyfin::ui
