// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ostrand {

namespace {
const QString kConfigName = QStringLiteral("Ostrand.ini");

QString ExeDir() {
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                        : QDir::currentPath();
}
} // namespace

QString SampleConfiguration() {
    const QString dir = ExeDir();
    for (const QString& candidate :
         {dir + u'/' + kConfigName, dir + QStringLiteral("/../share/ostrand/") + kConfigName}) {
        if (QFileInfo(candidate).isFile()) return QFileInfo(candidate).absoluteFilePath();
    }
    return {};
}

QString ProgramFolder() {
    const QString home = qEnvironmentVariable("OSTRAND_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        return QDir(home).absolutePath();
    }
    const QString dir = ExeDir();
    if (QFileInfo(dir + u'/' + kConfigName).isFile() && QFileInfo(dir).isWritable()) return dir;

    QString user = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (user.isEmpty()) user = QDir::homePath() + QStringLiteral("/.local/share");
    user += QStringLiteral("/Ostrand");
    QDir().mkpath(user);
    return user;
}

QString ProgramFile(const QString& name) {
    return ProgramFolder() + u'/' + name;
}

QString SeedConfiguration() {
    const QString target = ProgramFile(kConfigName);
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) return {};
    const QString folder = QDir::toNativeSeparators(QFileInfo(target).absolutePath());
    const QString sample = SampleConfiguration();
    if (sample.isEmpty())
        return QStringLiteral("No Ostrand.ini in %1, and no sample configuration to copy: the "
                              "Band list stays empty until one is put there.")
            .arg(folder);
    QFile copy(sample);
    if (!copy.copy(target))
        return QStringLiteral("No Ostrand.ini in %1, and the sample configuration could not be "
                              "copied there (%2): the Band list stays empty.")
            .arg(folder, copy.errorString());
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                      QFile::ReadOther);
    return QStringLiteral("No Ostrand.ini was in %1: a copy of the sample configuration is there "
                          "now. Set the serial port and check the radio definitions "
                          "(Options > Configuration).")
        .arg(folder);
}

} // namespace ostrand
