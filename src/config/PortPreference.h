// SPDX-License-Identifier: GPL-3.0-or-later
// The serial port the operator chose in the window (Options > Serial Port...), kept per user
// beside the other preferences. The program never writes Ostrand.ini: the choice takes
// precedence over its [Serial] section, and ostrand-cli's --device over both.
#pragma once

#include <QString>

namespace ostrand {

class Configuration;

// Empty when none was chosen.
QString StoredPort();
// An empty (or blank) device forgets the choice, so [Serial] applies again.
void StorePort(const QString& device);

// The device an operation opens: the command line's, else the stored choice, else the
// configuration's.
QString PortInUse(const QString& commandLine, const QString& stored, const Configuration& cfg);

} // namespace ostrand
