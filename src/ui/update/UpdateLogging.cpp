#include "UpdateLogging.h"

Q_LOGGING_CATEGORY(lcUpdate, "tallyfin.update")
