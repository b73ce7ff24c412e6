// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Preferences.h"

#include <QFileInfo>
#include <QSettings>

namespace ostrand {

namespace {

const QString kGroup = QStringLiteral("Defaults");
const QString kClearKey = QStringLiteral("ClearOnNewBandSelect");
const QString kIndexKey = QStringLiteral("RadioIndex");
const QString kRecentKey = QStringLiteral("Files/Recent");
const QString kFolderKey = QStringLiteral("Files/LastFolder");

} // namespace

bool ReadStoredBool(const QString& text) {
    return text.trimmed().compare(u"True", Qt::CaseInsensitive) == 0;
}

int ReadStoredIndex(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return (ok && value >= -1) ? value : 0;
}

Preferences LoadPreferences() {
    QSettings settings(QStringLiteral("Ostrand"), QStringLiteral("Ostrand"));
    settings.beginGroup(kGroup);
    Preferences p;
    p.ClearOnNewBandSelect = ReadStoredBool(settings.value(kClearKey).toString());
    p.RadioIndex = ReadStoredIndex(settings.value(kIndexKey).toString());
    return p;
}

void StorePreferences(const Preferences& preferences) {
    QSettings settings(QStringLiteral("Ostrand"), QStringLiteral("Ostrand"));
    settings.beginGroup(kGroup);
    settings.setValue(kIndexKey, QString::number(preferences.RadioIndex));
    settings.setValue(kClearKey, preferences.ClearOnNewBandSelect ? QStringLiteral("True")
                                                                  : QStringLiteral("False"));
    settings.endGroup();
    settings.sync();
}

} // namespace ostrand

namespace ostrand {

QStringList LoadRecentFiles() {
    QStringList paths;
    for (const QString& path : QSettings(QStringLiteral("Ostrand"), QStringLiteral("Ostrand"))
                                   .value(kRecentKey)
                                   .toStringList())
        if (!path.isEmpty() && paths.size() < kRecentFiles) paths << path;
    return paths;
}

void StoreRecentFiles(const QStringList& paths) {
    QSettings settings(QStringLiteral("Ostrand"), QStringLiteral("Ostrand"));
    settings.setValue(kRecentKey, paths);
}

QStringList WithRecent(const QStringList& paths, const QString& path) {
    const QString added = QFileInfo(path).absoluteFilePath();
    QStringList result{added};
    for (const QString& p : paths)
        if (QFileInfo(p).absoluteFilePath() != added && result.size() < kRecentFiles) result << p;
    return result;
}

QString LoadLastFolder() {
    return QSettings(QStringLiteral("Ostrand"), QStringLiteral("Ostrand"))
        .value(kFolderKey)
        .toString();
}

void StoreLastFolder(const QString& folder) {
    QSettings settings(QStringLiteral("Ostrand"), QStringLiteral("Ostrand"));
    settings.setValue(kFolderKey, folder);
}

} // namespace ostrand
