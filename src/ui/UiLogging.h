#pragma once

#include <QLoggingCategory>

namespace tallyfin::ui {
// The overlay application: shell, panel and views.
Q_DECLARE_LOGGING_CATEGORY(lcUi)
} // namespace tallyfin::ui
