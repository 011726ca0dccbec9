#pragma once

#include <QString>
#include <QStringView>

class QCoreApplication;

namespace tallyfin {

// Installs the compiled English string table into `app`, so that qtTrId (and QML's qsTrId) finds
// the texts behind the dotted keys. Call once, before any text is looked up. Returns false when
// the table could not be loaded, in which case every lookup yields its key or default.
bool installTranslations(QCoreApplication& app);

// The text behind `id` in the installed string table. A key without an entry yields
// `defaultText` when one is given, and the key itself otherwise.
QString localizedText(const char* id, QStringView defaultText = {});

} // namespace tallyfin
