// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DebugLog.h"

#include <QFile>
#include <QTime>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace ostrand {

void DebugLog::Append(const QString& text) {
    if (!enabled_) return;
    const QByteArray line = (QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) +
                             QStringLiteral(" : ") + text + QStringLiteral("\r\n"))
                                .toLocal8Bit();
    // O_APPEND instead of QFile's seek to the end: a stream or a device has no end to seek to.
    // Never blocking: a FIFO nobody reads fails instead of holding the operation that logs.
    const int fd = ::open(QFile::encodeName(path_).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    QString reason = QString::fromLocal8Bit(std::strerror(errno));
    QFile log;
    bool ok = fd >= 0 && log.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
    if (fd >= 0 && !ok) ::close(fd);
    if (ok) {
        ok = log.write(line) == line.size() && log.flush();
        reason = log.errorString();
    }
    if (!ok && !failing_)
        std::fprintf(stderr, "%s: cannot write the debug log %s: %s\n", qPrintable(who_),
                     qPrintable(path_), qPrintable(reason));
    failing_ = !ok;
}

} // namespace ostrand
