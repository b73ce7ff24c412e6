// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Beep.h"

#include <QApplication>

namespace ostrand {

void SystemBeep() {
    QApplication::beep();
}

} // namespace ostrand
