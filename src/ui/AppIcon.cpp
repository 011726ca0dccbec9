#include "AppIcon.h"

#include "tallyfin/BuildInfo.h"

namespace tallyfin::ui {

QIcon applicationIcon() {
    return QIcon::fromTheme(QString::fromLatin1(buildinfo::desktopAppId),
                            QIcon(QStringLiteral(":/icons/tallyfin.svg")));
}

} // namespace tallyfin::ui
