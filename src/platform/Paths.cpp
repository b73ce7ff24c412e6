#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ostrand {

namespace {
const QString kConfigName = QStringLiteral("Ostrand.ini");

QString exeDir() {
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                        : QDir::currentPath();
}
} // namespace

QString SampleConfiguration() {
    const QString dir = exeDir();
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
    const QString dir = exeDir();
    if (QFileInfo(dir + u'/' + kConfigName).isFile() && QFileInfo(dir).isWritable()) return dir;

    QString user = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (user.isEmpty()) user = QDir::homePath() + QStringLiteral("/.local/share");
    user += QStringLiteral("/Ostrand");
    QDir().mkpath(user);
    const QString target = user + u'/' + kConfigName;
    if (!QFileInfo::exists(target)) {
        const QString sample = SampleConfiguration();
        if (!sample.isEmpty()) QFile::copy(sample, target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::ReadOther);
    }
    return user;
}

QString ProgramFile(const QString& name) {
    return ProgramFolder() + u'/' + name;
}

} // namespace ostrand
