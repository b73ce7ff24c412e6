// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line tool's commands: bands, decode, encode, diff, print, read, verify, write.
#pragma once

#include <QStringList>

namespace ostrand::cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1; // unreadable or invalid input, a radio operation that failed
constexpr int kExitUsage = 2;  // unknown command or option, a bad option value
// diff and verify, as diff(1): the same, different, or no answer.
constexpr int kExitDifferent = 1;
constexpr int kExitTrouble = 2;

// Runs the command line (arguments as QCoreApplication gives them, program name first).
int Run(const QStringList& arguments);

} // namespace ostrand::cli
