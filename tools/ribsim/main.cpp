// SPDX-License-Identifier: GPL-3.0-or-later
// ribsim: a simulated RIB with a radio behind it, on a pseudo-terminal.
// Prints the terminal's device path on the first line of its output, then one line per text
// it receives ("< GID 2 = 0"). Point the program's serial device at that path.
#include "RibSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}

[[noreturn]] void Fail(const QString& text) {
    std::fprintf(stderr, "ribsim: %s\n", qPrintable(text));
    std::exit(2);
}

int Number(const QString& text, const QString& what) {
    bool ok = false;
    const int v = text.startsWith("0x", Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16)
                                                             : text.toInt(&ok, 10);
    if (!ok) Fail("bad number for " + what + ": " + text);
    return v;
}

// "KEY:VALUE" pairs; the keyword is one of the command names or "all".
void Pairs(const QStringList& values, QHash<QString, int>& into, const QString& what) {
    for (const QString& v : values) {
        const QStringList parts = v.split(':');
        if (parts.size() != 2) Fail(what + " wants COMMAND:NUMBER, got " + v);
        into[parts[0].toUpper()] = Number(parts[1], what);
    }
}

Block LoadPersonality(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) Fail("cannot read " + path);
    QByteArray text = file.readAll().trimmed();
    if (text.startsWith('"')) text = text.mid(1);
    Block block{};
    if (text.size() < 256) Fail(path + " does not hold 256 hexadecimal digits");
    for (int i = 0; i < 128; ++i) {
        bool ok = false;
        block[i] = static_cast<uint8_t>(text.mid(2 * i, 2).toInt(&ok, 16));
        if (!ok) Fail(path + ": not a hexadecimal digit pair at byte " + QString::number(i));
    }
    return block;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("ribsim");
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Simulated RIB with a radio behind it, on a pseudo-terminal.\n"
        "The first output line is the terminal's device path; use it as the serial device.\n"
        "COMMAND is one of WAKE GID SID RRD WRD IOT IIT DATA CMP, or all.");
    parser.addHelpOption();
    const QCommandLineOption load("load", "Radio personality from FILE (256 hex digits).", "FILE");
    const QCommandLineOption save("save",
                                  "Write the radio personality to FILE after each write "
                                  "and at exit.",
                                  "FILE");
    const QCommandLineOption cpu("cpu",
                                 "CPU id the radio reports (default 0x11; 0x10 for the "
                                 "older CPU).",
                                 "ID", "0x11");
    const QCommandLineOption rev("revision", "Software revision the radio reports (default 1).",
                                 "REV", "1");
    const QCommandLineOption silent("silent", "Never answer COMMAND (repeatable).", "COMMAND");
    const QCommandLineOption noPrompt("no-prompt", "Answer COMMAND without the prompt \"*\".",
                                      "COMMAND");
    const QCommandLineOption ignore("ignore", "Ignore the first N receipts of COMMAND.",
                                    "COMMAND:N");
    const QCommandLineOption late("late", "Answer COMMAND only after MS milliseconds.",
                                  "COMMAND:MS");
    const QCommandLineOption gid("gid-text",
                                 "Answer the identification with TEXT instead of "
                                 "the two fields (\\n for a line end).",
                                 "TEXT");
    const QCommandLineOption cmp("cmp-text", "Answer the compare with TEXT.", "TEXT");
    const QCommandLineOption differ("compare-differ", "Compare always answers \"<>\".");
    const QCommandLineOption badSum("bad-checksum", "Corrupt the checksum of record N (0-7).", "N");
    const QCommandLineOption missing("missing-record", "Leave out record N (0-7).", "N");
    const QCommandLineOption noise("noise", "Put line noise before answers and between records.");
    const QCommandLineOption echo("echo", "Echo each command before answering.");
    const QCommandLineOption hangup("hangup-after",
                                    "Drop the line after N characters of the "
                                    "record answer.",
                                    "N");
    const QCommandLineOption hangupOn("hangup-on",
                                      "Drop the line when COMMAND arrives (DATA: after two "
                                      "records).",
                                      "COMMAND");
    const QCommandLineOption flood("flood", "Stream garbage without end, as a device that is "
                                            "no RIB.");
    const QCommandLineOption charDelay("char-delay", "Send one character every MS ms.", "MS");
    const QCommandLineOption baud("baud-pace", "Send and receive at the pace of 2400 baud "
                                               "(4.17 ms a character).");
    const QCommandLineOption baudRate("baud", "Send and receive at the pace of RATE baud.", "RATE");
    parser.addOptions({load, save,   cpu,      rev,    silent,    noPrompt, ignore,
                       late, gid,    cmp,      differ, badSum,    missing,  noise,
                       echo, hangup, hangupOn, flood,  charDelay, baud,     baudRate});
    parser.process(app);

    SimOptions options;
    options.cpu = Number(parser.value(cpu), "--cpu");
    options.revision = Number(parser.value(rev), "--revision");
    options.saveFile = parser.value(save);
    for (const QString& s : parser.values(silent))
        options.silent[s.toUpper()] = true;
    for (const QString& s : parser.values(noPrompt))
        options.noPrompt[s.toUpper()] = true;
    Pairs(parser.values(ignore), options.ignoreFirst, "--ignore");
    Pairs(parser.values(late), options.lateMs, "--late");
    if (parser.isSet(gid)) options.gidText = parser.value(gid).replace("\\n", "\r\n").toLatin1();
    if (parser.isSet(cmp)) options.cmpText = parser.value(cmp).toLatin1();
    options.compareDiffer = parser.isSet(differ);
    if (parser.isSet(badSum))
        options.badChecksumRecord = Number(parser.value(badSum), "--bad-checksum");
    if (parser.isSet(missing))
        options.missingRecord = Number(parser.value(missing), "--missing-record");
    options.noise = parser.isSet(noise);
    options.echo = parser.isSet(echo);
    if (parser.isSet(hangup)) options.hangupAfter = Number(parser.value(hangup), "--hangup-after");
    options.hangupOn = parser.value(hangupOn).toUpper();
    if (parser.isSet(charDelay))
        options.msPerChar = Number(parser.value(charDelay), "--char-delay");
    options.flood = parser.isSet(flood);
    if (parser.isSet(baud) || parser.isSet(baudRate)) {
        const int rate = parser.isSet(baudRate) ? Number(parser.value(baudRate), "--baud") : 2400;
        if (rate <= 0) Fail("--baud wants a positive rate");
        options.msPerChar = 10.0 * 1000.0 / rate;
        options.paceInput = true;
    }

    Block radio{};
    for (int i = 0; i < 128; ++i)
        radio[i] = static_cast<uint8_t>(i); // a recognisable pattern when nothing is loaded
    if (parser.isSet(load)) radio = LoadPersonality(parser.value(load));

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        Fail("cannot create a pseudo-terminal");
    const char* slavePath = ::ptsname(master);
    if (!slavePath) Fail("cannot name the pseudo-terminal");
    const QByteArray path(slavePath);
    // Held open so the line stays up between the program's sessions, in raw mode so nothing
    // is echoed or translated.
    const int slave = ::open(path.constData(), O_RDWR | O_NOCTTY);
    if (slave < 0) Fail("cannot open " + QString::fromLatin1(path));
    termios tio{};
    ::tcgetattr(slave, &tio);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B2400);
    ::cfsetospeed(&tio, B2400);
    ::tcsetattr(slave, TCSANOW, &tio);

    if (::pipe(signalPipe) != 0) Fail("cannot create a pipe");
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGHUP, OnSignal);
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app,
                     [] { QCoreApplication::quit(); });

    RibSimulator rib(master, options, radio);
    std::printf("%s\n", path.constData());
    std::fflush(stdout);
    const int rc = app.exec();
    rib.Save();
    // What crossed the line, for measurements against the 2400-baud floor.
    std::printf("traffic: received %lld sent %lld\n", static_cast<long long>(rib.ReceivedCount()),
                static_cast<long long>(rib.SentCount()));
    std::fflush(stdout);
    ::close(slave);
    return rc;
}
