// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the simulated RIB for one test and collects what it reports having received.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace ostrand {

class RibSimProcess {
public:
    explicit RibSimProcess(const QStringList& args) {
        process_.start(qEnvironmentVariable("OSTRAND_BINARY_DIR") + "/ribsim", args);
        // Generous: a loaded machine (sanitizer build, parallel tests) may take seconds.
        if (!process_.waitForStarted(30000)) return;
        while (!process_.canReadLine() && process_.waitForReadyRead(30000)) {
        }
        device_ = QString::fromLatin1(process_.readLine()).trimmed();
    }
    ~RibSimProcess() { Finish(), process_.kill(), process_.waitForFinished(1000); }
    QString Device() const { return device_; }

    // Every text received so far ("< " prefix dropped), in order.
    QStringList Received() {
        buffer_ += QString::fromLatin1(process_.readAllStandardOutput());
        const QRegularExpression sent("^< ");
        return buffer_.split('\n').filter(sent).replaceInStrings(sent, "");
    }
    // Ends the simulator so it writes its --save file.
    void Finish() { process_.terminate(), process_.waitForFinished(3000); }

private:
    QProcess process_;
    QString device_, buffer_;
};

} // namespace ostrand
