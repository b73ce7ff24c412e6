// SPDX-License-Identifier: GPL-3.0-or-later
// The two stored preferences: application "Ostrand", section "Defaults", text values.
#pragma once

#include <QString>
#include <QStringList>

namespace ostrand {

struct Preferences {
    bool ClearOnNewBandSelect = false;
    int RadioIndex = 0; // band list position; -1 for none
};

// "True"/"False" in any case, blanks around ignored; anything else is the default (false).
bool ReadStoredBool(const QString& text);
// A decimal integer of -1 or more, blanks around ignored; anything else (not a number, or
// below -1) is the default position 0, the first definition.
int ReadStoredIndex(const QString& text);

// The per-user store (QSettings: ~/.config/Ostrand/Ostrand.conf on Linux). Missing store or
// keys give the defaults; writing reports nothing.
Preferences LoadPreferences();
void StorePreferences(const Preferences& preferences);

// File > Open Recent: the personality files last opened or saved, newest first, and the
// folder the file dialogs last used (section "Files"). Read when used, stored at once.
constexpr int kRecentFiles = 8;
QStringList LoadRecentFiles();
void StoreRecentFiles(const QStringList& paths);
// `path` first and once (compared as absolute, cleaned paths), at most kRecentFiles kept.
QStringList WithRecent(const QStringList& paths, const QString& path);
QString LoadLastFolder();
void StoreLastFolder(const QString& folder);

} // namespace ostrand
