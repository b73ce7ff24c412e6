// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a file the program was pointed at: only a regular file is opened (a FIFO or a
// device could block or never end), and only up to a limit.
#pragma once

#include <QByteArray>
#include <QString>

namespace ostrand {

struct FileBytes {
    QByteArray bytes;
    QString problem; // "no such file", "not a regular file" or the system's reason; empty if read
};

// At most `limit` bytes from the start of the file.
FileBytes ReadRegularFile(const QString& path, qint64 limit);

} // namespace ostrand
