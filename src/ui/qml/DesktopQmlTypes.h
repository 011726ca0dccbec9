// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

// QML names of the desktop integration the views use: the colour scheme, the window's cut-out
// shape and the popover's pointer grab. The desktop library itself knows nothing of QML.

#include "ui/desktop/Appearance.h"
#include "ui/desktop/ClickThrough.h"
#include "ui/desktop/PopoverGrab.h"
#include "ui/desktop/WindowShape.h"

#include <QtQml/qqmlregistration.h>

namespace tallyfin::ui::qmltypes {

struct AppearanceForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::Appearance)
    QML_NAMED_ELEMENT(Appearance)
    QML_UNCREATABLE("Built by the application")
};

struct WindowShapeForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::WindowShape)
    QML_NAMED_ELEMENT(WindowShape)
};

struct ClickThroughForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::ClickThrough)
    QML_NAMED_ELEMENT(ClickThrough)
};

struct PopoverGrabForeign {
    Q_GADGET
    QML_FOREIGN(tallyfin::ui::PopoverGrab)
    QML_NAMED_ELEMENT(PopoverGrab)
};

} // namespace tallyfin::ui::qmltypes
