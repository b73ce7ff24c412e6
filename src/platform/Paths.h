// SPDX-License-Identifier: GPL-3.0-or-later
// "The program's folder": where Ostrand.ini, debug.log and the file dialogs' first folder live.
#pragma once

#include <QString>

namespace ostrand {

// $OSTRAND_HOME when set (tests, demos, several installed copies). Otherwise the executable's
// folder when it holds Ostrand.ini and is writable (a build tree or an unpacked copy).
// Otherwise a per-user folder ($XDG_DATA_HOME/Ostrand), created on first use, so an installed
// copy run by a normal user has a configuration it can edit and can write its debug log.
QString ProgramFolder();

// ProgramFolder() joined with a file name.
QString ProgramFile(const QString& name);

// Where the shipped sample configuration stands, if anywhere (beside the executable, or in
// ../share/ostrand for an installed copy); empty when none is found.
QString SampleConfiguration();

// Gives the program folder an Ostrand.ini when it has none: a copy of the sample. Never
// touches an existing file. The result is empty when there was one already, else the
// sentence that tells the operator what happened.
QString SeedConfiguration();

} // namespace ostrand
