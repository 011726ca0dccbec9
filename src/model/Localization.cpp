#include "model/Localization.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTranslator>

namespace tallyfin {

namespace {

Q_LOGGING_CATEGORY(lcModel, "tallyfin.model")

} // namespace

bool installTranslations(QCoreApplication& app) {
    // Owned by the application, so it lives exactly as long as the lookups that use it.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral(":/i18n/tallyfin_en.qm"))) {
        qCWarning(lcModel) << "could not load the English string table";
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

QString localizedText(const char* id, QStringView defaultText) {
    QString text = qtTrId(id);
    // qtTrId hands back the id itself when no installed table has the key.
    if (!defaultText.isEmpty() && text == QLatin1String(id)) {
        return defaultText.toString();
    }
    return text;
}

} // namespace tallyfin
