// SPDX-License-Identifier: GPL-3.0-or-later
#include "ManPage.h"

#include "Commands.h"

namespace ostrand::cli {

namespace {

// Text safe in roff: a backslash printed as such, every "-" a plain ASCII minus so that
// options copied from the page work, and no line taken for a request.
QString Roff(const QString& text) {
    QString out = text;
    out.replace(u'\\', QStringLiteral("\\e"));
    out.replace(u'-', QStringLiteral("\\-"));
    QStringList lines = out.split(u'\n');
    for (QString& line : lines)
        if (line.startsWith(u'.') || line.startsWith(u'\'')) line.prepend(QStringLiteral("\\&"));
    return lines.join(u'\n');
}

QString Bold(const QString& text) {
    return QStringLiteral("\\fB") + Roff(text) + QStringLiteral("\\fR");
}

QString Italic(const QString& text) {
    return QStringLiteral("\\fI") + Roff(text) + QStringLiteral("\\fR");
}

// "-o, --output FILE" as the option's tag in a list.
QString OptionTag(const QCommandLineOption& option) {
    QStringList names;
    for (const QString& n : option.names())
        names << Bold((n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n);
    QString tag = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty()) tag += u' ' + Italic(option.valueName());
    return tag;
}

QString Item(const QString& tag, const QString& body) {
    return QStringLiteral(".TP\n") + tag + u'\n' + body + u'\n';
}

} // namespace

QString ManPage(const std::vector<CommandHelp>& commands, const QStringList& csvColumns) {
    QString page;
    page += QStringLiteral(".TH OSTRAND\\-CLI 1 \"\" \"Ostrand %1.%2.%3\" \"User Commands\"\n")
                .arg(OSTRAND_VERSION_MAJOR)
                .arg(OSTRAND_VERSION_MINOR)
                .arg(OSTRAND_VERSION_PATCH);
    page += QStringLiteral(
        ".nh\n"
        ".SH NAME\n"
        "ostrand\\-cli \\- decode, encode, compare, print, read, verify and write radio "
        "personalities without a window\n"
        ".SH SYNOPSIS\n"
        ".B ostrand\\-cli\n.I command\n.RI [ options ]\n.RI [ file ]\n.br\n"
        ".B ostrand\\-cli\n.RI [ command ]\n.B \\-\\-help\n"
        ".SH DESCRIPTION\n"
        ".B ostrand\\-cli\n"
        "does what the Ostrand window does, on the same configuration and code. A personality is "
        "the 128\\-byte block of a Delta\\-S or Delta\\-SX radio that holds its 16 channels; "
        "personality files (.DS, .DFS, .DSX) hold it as 256 hexadecimal digits.\n"
        ".PP\n"
        "The radio\\-wide values (CPU type, reference frequency, IF frequency, multipliers, "
        "injection side, DCG inversion) come from a radio definition of the configuration, "
        "chosen with \\fB\\-\\-band\\fR as the window's Band list chooses it; the options "
        "change them as the window's fields would. Texts go to standard output, errors to "
        "standard error, one line each.\n");

    page += QStringLiteral(".SH COMMANDS\n");
    for (const CommandHelp& c : commands) {
        QString tag = Bold(c.name);
        QString body = Roff(c.summary);
        if (!c.positional.isEmpty()) {
            tag += u' ' + Italic(c.positional);
            body += QStringLiteral("\n.br\n") + Italic(c.positional) + QStringLiteral(": ") +
                    Roff(c.positionalHelp);
        }
        page += Item(tag, body);
    }

    // Each option once, in the order the commands first list it, with the commands that take
    // it when not all do.
    page += QStringLiteral(".SH OPTIONS\n");
    page +=
        Item(Bold(QStringLiteral("-h")) + QStringLiteral(", ") + Bold(QStringLiteral("--help")) +
                 QStringLiteral(", ") + Bold(QStringLiteral("--help-all")),
             QStringLiteral("Print the command's options, or without a command the list of "
                            "commands, and exit."));
    QStringList seen;
    for (const CommandHelp& c : commands) {
        for (const QCommandLineOption& option : c.options) {
            const QString key = option.names().join(u',');
            if (option.flags() & QCommandLineOption::HiddenFromHelp || seen.contains(key)) continue;
            seen << key;
            QStringList takers;
            for (const CommandHelp& other : commands)
                for (const QCommandLineOption& o : other.options)
                    if (o.names() == option.names()) takers << other.name;
            QString body = Roff(option.description());
            if (takers.size() < int(commands.size()))
                body += QStringLiteral("\n.br\nCommands: ") +
                        Roff(takers.join(QStringLiteral(", "))) + u'.';
            page += Item(OptionTag(option), body);
        }
    }

    page += QStringLiteral(
        ".SH CHANNEL PLANS\n"
        "A channel plan is CSV text: an optional header line, then one line per channel, all 16 "
        "channels in any order, with the columns\n");
    QStringList columns;
    for (const QString& column : csvColumns)
        columns << QStringLiteral("\\(lq") + Roff(column) + QStringLiteral("\\(rq");
    page += columns.join(QStringLiteral(",\n")) + QStringLiteral(".\n");
    page += QStringLiteral(
        "Frequencies and tones are typed as in the window's grid; the two lists are given by "
        "position, and their item\\-text columns are printed by \\fBdecode\\fR but not read by "
        "\\fBencode\\fR. Blank lines and lines starting with \\(lq#\\(rq are skipped; a field "
        "may be quoted, with \\(dq\\(dq for a quote inside it.\n");

    page += QStringLiteral(".SH EXIT STATUS\n");
    page += Item(Bold(QString::number(kExitOk)), QStringLiteral("Success."));
    page += Item(Bold(QString::number(kExitFailed)),
                 QStringLiteral("A file could not be read or written, its content was invalid, "
                                "a radio operation failed or was interrupted, or write refused "
                                "frequencies outside the band limits."));
    page += Item(Bold(QString::number(kExitUsage)),
                 QStringLiteral("An unknown command or option, or a bad option value."));
    page += QStringLiteral(".PP\n\\fBdiff\\fR and \\fBverify\\fR answer as \\fBdiff\\fR(1): ");
    page += Bold(QString::number(kExitOk)) + QStringLiteral(" the personalities are the same, ") +
            Bold(QString::number(kExitDifferent)) + QStringLiteral(" they differ, ") +
            Bold(QString::number(kExitTrouble)) +
            QStringLiteral(" no answer: a file could not be read, an option was bad or the "
                           "radio could not be read.\n");

    page += QStringLiteral(
        ".SH ENVIRONMENT\n"
        ".TP\n.B OSTRAND_HOME\n"
        "The folder that holds \\fIOstrand.ini\\fR (and the window's \\fIdebug.log\\fR), "
        "instead of the places below.\n"
        ".TP\n.B XDG_DATA_HOME\n"
        "The per\\-user data folder, \\fI~/.local/share\\fR when unset.\n"
        ".SH FILES\n"
        ".TP\n.I Ostrand.ini\n"
        "The configuration: the serial port ([Serial] Device=), the radio definitions, the "
        "reference divider tables, the DCG codes and CG tones. It is the one beside the "
        "program when that folder holds one and is writable (a build tree), else "
        "\\fI$XDG_DATA_HOME/Ostrand/Ostrand.ini\\fR, copied from the sample on first use.\n"
        ".TP\n.I /usr/share/ostrand/Ostrand.ini\n"
        "The sample configuration (under the installation prefix). Check its definitions "
        "against the radio's documentation before writing a radio.\n"
        ".SH EXAMPLES\n"
        "Print a personality file as a channel plan, edit the plan and store it again:\n"
        ".PP\n.nf\n.RS\n"
        "ostrand\\-cli decode radio.DSX > plan.csv\n"
        "ostrand\\-cli encode plan.csv \\-o new.DSX\n"
        ".RE\n.fi\n.PP\n"
        "Read a radio through the RIB on a USB serial adapter, then write a file to it under "
        "the second radio definition:\n"
        ".PP\n.nf\n.RS\n"
        "ostrand\\-cli read \\-\\-device /dev/ttyUSB0 \\-o backup.DSX\n"
        "ostrand\\-cli write \\-\\-device /dev/ttyUSB0 \\-\\-band 2 new.DSX\n"
        ".RE\n.fi\n"
        ".SH SEE ALSO\n"
        ".BR ostrand (1),\n"
        ".BR ribsim (1)\n");
    return page;
}

} // namespace ostrand::cli
