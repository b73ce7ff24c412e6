// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/PortPreference.h"

#include "config/Configuration.h"

#include <QSettings>

namespace ostrand {

namespace {
const QString kKey = QStringLiteral("Serial/Device");
} // namespace

QString StoredPort() {
    QSettings settings(QStringLiteral("Ostrand"), QStringLiteral("Ostrand"));
    return settings.value(kKey).toString().trimmed();
}

void StorePort(const QString& device) {
    QSettings settings(QStringLiteral("Ostrand"), QStringLiteral("Ostrand"));
    if (device.trimmed().isEmpty())
        settings.remove(kKey);
    else
        settings.setValue(kKey, device.trimmed());
    settings.sync();
}

QString PortInUse(const QString& commandLine, const QString& stored, const Configuration& cfg) {
    if (!commandLine.isEmpty()) return commandLine;
    if (!stored.trimmed().isEmpty()) return stored.trimmed();
    return cfg.SerialDevice();
}

} // namespace ostrand
