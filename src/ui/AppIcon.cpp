// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AppIcon.h"

// The resources of a static library are registered by hand, outside any namespace.
static void InitUiResources() {
    Q_INIT_RESOURCE(ui);
}

namespace ostrand {

QIcon AppIcon() {
    static const bool registered = (InitUiResources(), true);
    Q_UNUSED(registered);
    QIcon icon;
    icon.addFile(QStringLiteral(":/ostrand/ostrand-64.png"), QSize(64, 64));
    icon.addFile(QStringLiteral(":/ostrand/ostrand-256.png"), QSize(256, 256));
    return icon;
}

} // namespace ostrand
