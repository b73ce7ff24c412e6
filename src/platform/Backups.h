// SPDX-License-Identifier: GPL-3.0-or-later
// Automatic backups: every personality read from or written to a radio is kept as a
// personality file in one folder, named so that a listing sorts by time and says what
// happened ("2026-12-06_140233_read_Delta-SX.DSX"). Old backups are pruned: the newest
// kBackupsKept always stay, and so does every backup younger than kBackupDaysKept days.
#pragma once

#include "image/EEImage.h"

#include <QDateTime>
#include <QString>
#include <functional>

namespace ostrand {

constexpr int kBackupsKept = 1000;
constexpr int kBackupDaysKept = 365;

// $XDG_DATA_HOME/Ostrand/backups (by default ~/.local/share/Ostrand/backups).
QString DefaultBackupFolder();

// The file name of a backup made at `when`: what happened ("read", "write"), the radio's type
// by its CPU id, and from the second backup within the same second on, a number.
QString BackupName(const QDateTime& when, const QString& what, int16_t radioID, int n = 1);

struct BackupResult {
    QString path;    // the file kept, when it was
    QString problem; // why none was kept; empty on success
};

class BackupStore {
public:
    // An empty folder means DefaultBackupFolder(); a null `now` means the system's clock.
    explicit BackupStore(QString folder = {}, std::function<QDateTime()> now = {});

    QString Folder() const { return folder_; }
    QDateTime Now() const { return now_ ? now_() : QDateTime::currentDateTime(); }

    // Keeps the image's 128 bytes under a new name (never over another backup), atomically,
    // then prunes.
    BackupResult Keep(const QString& what, int16_t radioID, const EEImage& image);
    // Removes the backups (files named as BackupName names them, nothing else) beyond the
    // newest kBackupsKept that are older than kBackupDaysKept days; how many went.
    int Prune();

private:
    QString folder_;
    std::function<QDateTime()> now_;
};

} // namespace ostrand
