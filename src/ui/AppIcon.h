// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace ostrand {

// The program's icon, from the built-in resources.
QIcon AppIcon();

} // namespace ostrand
