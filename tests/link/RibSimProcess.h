// Starts the simulated RIB for one test and collects what it reports having received.
#pragma once

#include <QProcess>
#include <QStringList>
#include <QTest>

namespace ostrand {

class RibSimProcess {
public:
    explicit RibSimProcess(const QStringList& args) {
        const QString dir = qEnvironmentVariable("OSTRAND_BINARY_DIR");
        process_.setProgram(dir + "/ribsim");
        process_.setArguments(args);
        process_.start();
        // Generous: a loaded machine (sanitizer build, parallel tests) can take seconds to
        // start the simulator; a healthy start returns at once.
        if (!process_.waitForStarted(30000)) return;
        while (!process_.canReadLine() && process_.waitForReadyRead(30000)) {
        }
        device_ = QString::fromLatin1(process_.readLine()).trimmed();
    }
    ~RibSimProcess() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
        process_.waitForFinished(1000);
    }
    QString Device() const { return device_; }

    // Every text received so far ("< " prefix dropped), in order.
    QStringList Received() {
        buffer_ += QString::fromLatin1(process_.readAllStandardOutput());
        QStringList lines;
        for (const QString& line : buffer_.split('\n', Qt::SkipEmptyParts))
            if (line.startsWith("< ")) lines << line.mid(2);
        return lines;
    }
    int Count(const QString& prefix) {
        int n = 0;
        for (const QString& line : Received())
            n += line.startsWith(prefix);
        return n;
    }
    // Ends the simulator so it writes its --save file.
    void Finish() {
        process_.terminate();
        process_.waitForFinished(3000);
    }

private:
    QProcess process_;
    QString device_;
    QString buffer_;
};

} // namespace ostrand
