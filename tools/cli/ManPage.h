// SPDX-License-Identifier: GPL-3.0-or-later
// The manual page ostrand-cli(1), in roff, made at build time from the tables that --help
// prints, so a command or option added there is documented without editing a page.
#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace ostrand::cli {

// One command as its --help presents it.
struct CommandHelp {
    QString name;
    QString summary;
    QString positional;                // empty: none
    QString positionalHelp;            // what the positional argument is
    QList<QCommandLineOption> options; // besides Qt's help options; hidden ones are left out
};

// csvColumns: the header fields of the channel plan, in column order.
QString ManPage(const std::vector<CommandHelp>& commands, const QStringList& csvColumns);

} // namespace ostrand::cli
