#include "platform/Pause.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace ostrand {

namespace {
double g_scale = 1.0;
}

int ScaledDelay(int ms) {
    return std::max(0, static_cast<int>(std::lround(ms * g_scale)));
}

void delay(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ScaledDelay(ms), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void SetDelayScale(double scale) {
    g_scale = scale < 0 ? 0 : scale;
}

} // namespace ostrand
