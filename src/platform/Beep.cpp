#include "platform/Beep.h"

#include <QApplication>

namespace ostrand {

void SystemBeep() {
    QApplication::beep();
}

} // namespace ostrand
