// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Processes.h"

#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>

namespace ostrand {

bool QtProcesses::StartDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

std::optional<int> QtProcesses::RunAndWait(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    // The child's output goes where ours goes: nothing piles up in a pipe while it runs.
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setStandardInputFile(QProcess::nullDevice());

    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) loop.quit();
    });
    process.start();
    if (process.state() != QProcess::NotRunning && process.error() != QProcess::FailedToStart)
        loop.exec();
    if (process.error() == QProcess::FailedToStart) return std::nullopt;
    if (process.exitStatus() != QProcess::NormalExit) return -1;
    return process.exitCode();
}

QString FindFirstProgram(const QStringList& programs, const QStringList& searchPaths) {
    for (const QString& name : programs) {
        if (name.isEmpty()) continue;
        const QString found = QStandardPaths::findExecutable(name, searchPaths);
        if (!found.isEmpty()) return found;
    }
    return QString();
}

} // namespace ostrand
