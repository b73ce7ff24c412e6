#include "app/Preferences.h"

#include <QSettings>

namespace ostrand {

namespace {

const QString kGroup = QStringLiteral("Defaults");
const QString kClearKey = QStringLiteral("ClearOnNewBandSelect");
const QString kIndexKey = QStringLiteral("RadioIndex");

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
