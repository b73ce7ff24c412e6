// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace ostrand {

Clock::Clock(double scale, QObject* parent) : QObject(parent), scale_(std::max(0.0, scale)) {}

int Clock::Scaled(int ms) const {
    return std::max(1, static_cast<int>(std::lround(ms * scale_)));
}

Clock::End Clock::Wait(int ms, const std::function<bool()>& done) {
    if (stopped_ || loop_) return End::Stopped;
    if (done()) return End::Condition;
    QEventLoop loop;
    QTimer timer;
    // A coarse timer may fire 5 % early; every wait must last at least its length.
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    bool timedOut = false;
    connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    loop_ = &loop;
    done_ = &done;
    timer.start(Scaled(ms));
    loop.exec();
    loop_ = nullptr;
    done_ = nullptr;
    if (stopped_) return End::Stopped;
    if (done()) return End::Condition;
    return timedOut ? End::Timeout : End::Stopped;
}

void Clock::Pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(Scaled(ms), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void Clock::Recheck() {
    if (loop_ && done_ && (*done_)()) loop_->quit();
}

void Clock::Stop() {
    stopped_ = true;
    if (loop_) loop_->quit();
}

} // namespace ostrand
