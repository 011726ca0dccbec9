#include "OverlaySizeManager.h"

#include "UiLogging.h"

#include <QCoreApplication>
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
    , m_settings(settings) {
    const QString stored = storedSize();
    if (const auto size = overlaySizeFromName(stored)) {
        m_currentSize = *size;
    } else if (m_settings->contains(QLatin1String(sizeKey))) {
        qCWarning(lcUi).noquote() << "stored overlay size" << stored
                                  << "is not small, medium or large; using medium";
    }
    m_animateMetrics = storedAnimateMetrics();
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
        qCWarning(lcUi) << "no overlay size at index" << index;
        return false;
    }
    chooseSize(allOverlaySizes[static_cast<std::size_t>(index)]);
    return true;
}

void OverlaySizeManager::chooseAnimateMetrics(bool animate) {
    setAnimateMetrics(animate);
    m_settings->setValue(QLatin1String(animateKey), animate);
}

} // namespace tallyfin::ui
