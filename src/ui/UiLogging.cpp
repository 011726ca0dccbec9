#include "UiLogging.h"

namespace tallyfin::ui {
Q_LOGGING_CATEGORY(lcUi, "tallyfin.ui")
} // namespace tallyfin::ui
