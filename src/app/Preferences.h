// The two stored preferences: application "Ostrand", section "Defaults", text values.
#pragma once

#include <QString>

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

} // namespace ostrand
