// SPDX-License-Identifier: GPL-3.0-or-later
// The one way the program waits. Every timeout and pause of the RIB conversation, the failure
// pauses of the windows and the time a notice stays up go through one Clock, passed to whoever
// waits. The program runs it at real time; tests run it fast (at 0.05 a 2000 ms timeout lasts
// 100 ms). A wait handles events meanwhile: a nested event loop with one timer, so the window
// stays alive and receive handlers run.
#pragma once

#include <QObject>
#include <functional>

class QEventLoop;

namespace ostrand {

class Clock : public QObject {
    Q_OBJECT
public:
    explicit Clock(double scale = 1.0, QObject* parent = nullptr);

    // A duration in real milliseconds as this clock runs it; at least 1.
    int Scaled(int ms) const;

    enum class End { Condition, Timeout, Stopped };
    // Handles events until `done` holds, `ms` pass or Stop() is called. `done` is tested at the
    // start and whenever Recheck() says that what it reads has changed. Once stopped, and for a
    // wait started inside another (it could not end before the outer one), the end is Stopped
    // at once.
    End Wait(int ms, const std::function<bool()>& done);
    // Handles events for `ms`; nothing ends it early.
    void Pause(int ms);
    void Recheck();

    // Ends the running wait, and every later one at once: the window is closing, or the
    // command line was interrupted.
    void Stop();
    bool Stopped() const { return stopped_; }
    // Runs again after a Stop() that ended one operation only (the operator cancelled it).
    void Restart() { stopped_ = false; }

private:
    double scale_;
    bool stopped_ = false;
    QEventLoop* loop_ = nullptr;
    const std::function<bool()>* done_ = nullptr;
};

} // namespace ostrand
