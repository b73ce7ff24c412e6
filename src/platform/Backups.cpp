// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Backups.h"

#include "image/PersonalityFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

namespace ostrand {

namespace {

const QString kStampFormat = QStringLiteral("yyyy-MM-dd_HHmmss");

// Names this program gives: the time stamp, what happened, the radio, an optional number.
const QRegularExpression& BackupPattern() {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d_\\d{6})_[a-z]+_[A-Za-z0-9-]+\\.D[A-Z]*$"));
    return pattern;
}

} // namespace

QString DefaultBackupFolder() {
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/Ostrand/backups");
}

QString BackupName(const QDateTime& when, const QString& what, int16_t radioID, int n) {
    QString radio = QStringLiteral("ID%1").arg(radioID);
    QString ext = QStringLiteral("D");
    if (radioID == kDeltaS) radio = QStringLiteral("Delta-S"), ext = QStringLiteral("DS");
    if (radioID == kDeltaSX) radio = QStringLiteral("Delta-SX"), ext = QStringLiteral("DSX");
    if (n > 1) radio += QStringLiteral("-%1").arg(n);
    return QStringLiteral("%1_%2_%3.%4").arg(when.toString(kStampFormat), what, radio, ext);
}

BackupStore::BackupStore(QString folder, std::function<QDateTime()> now)
    : folder_(folder.isEmpty() ? DefaultBackupFolder() : std::move(folder)), now_(std::move(now)) {}

BackupResult BackupStore::Keep(const QString& what, int16_t radioID, const EEImage& image) {
    BackupResult result;
    if (!QDir().mkpath(folder_)) {
        result.problem =
            QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(folder_));
        return result;
    }
    const QDateTime when = Now();
    // Claimed by an exclusive create, so two programs saving in the same second never share
    // a name; the complete file then replaces the empty claim in one rename.
    for (int n = 1; n < 1000 && result.path.isEmpty(); ++n) {
        QFile claim(folder_ + u'/' + BackupName(when, what, radioID, n));
        if (claim.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            result.path = claim.fileName();
        } else if (!claim.exists()) {
            result.problem =
                QDir::toNativeSeparators(claim.fileName()) + ": " + claim.errorString();
            return result;
        }
    }
    if (result.path.isEmpty()) {
        result.problem = QStringLiteral("no free name in ") + QDir::toNativeSeparators(folder_);
        return result;
    }
    if (const QString reason = WritePersonalityFile(result.path, image); !reason.isEmpty()) {
        result.problem = QDir::toNativeSeparators(result.path) + ": " + reason;
        QFile::remove(result.path);
        result.path.clear();
        return result;
    }
    Prune();
    return result;
}

int BackupStore::Prune() {
    QStringList names;
    for (const QString& name : QDir(folder_).entryList(QDir::Files, QDir::Name))
        if (BackupPattern().match(name).hasMatch()) names << name;
    const QDateTime oldest = Now().addDays(-kBackupDaysKept);
    int removed = 0;
    // Oldest first: the names sort by time.
    for (qsizetype i = 0; i + kBackupsKept < names.size(); ++i) {
        const QDateTime made =
            QDateTime::fromString(BackupPattern().match(names[i]).captured(1), kStampFormat);
        if (made.isValid() && made < oldest && QFile::remove(folder_ + u'/' + names[i])) ++removed;
    }
    return removed;
}

} // namespace ostrand
