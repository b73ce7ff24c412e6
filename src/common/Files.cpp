// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Files.h"

#include <QFile>
#include <QFileInfo>

namespace ostrand {

FileBytes ReadRegularFile(const QString& path, qint64 limit) {
    FileBytes read;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        read.problem = QStringLiteral("no such file");
        return read;
    }
    if (!info.isFile()) {
        read.problem = QStringLiteral("not a regular file");
        return read;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.problem = file.errorString();
        return read;
    }
    // Never more than the file holds (and one byte to see that it ends): a large limit would
    // otherwise be allocated for every small file.
    read.bytes = file.read(qMin(limit, info.size() + 1));
    if (file.error() != QFileDevice::NoError) {
        read.bytes.clear();
        read.problem = file.errorString();
    }
    return read;
}

} // namespace ostrand
