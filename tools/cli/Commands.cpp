// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"

#include "CliHost.h"
#include "ManPage.h"

#include "band/BandLimits.h"
#include "band/BandSelection.h"
#include "common/Numbers.h"
#include "config/Configuration.h"
#include "config/PortPreference.h"
#include "image/PersonalityFile.h"
#include "image/RecordCodec.h"
#include "image/ToneCodec.h"
#include "link/RadioOperations.h"
#include "link/SerialPorts.h"
#include "plan/ChannelCsv.h"
#include "plan/PlanCompare.h"
#include "platform/Paths.h"
#include "print/PlanSheet.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>
#include <cstdio>

namespace ostrand::cli {

namespace {

// A channel plan is a few kilobytes; more is not a plan.
constexpr qint64 kPlanReadLimit = 1024 * 1024;

struct Failure {
    int status = kExitFailed;
    QString text;
};

int Report(const Failure& failure) {
    QString line = failure.text;
    line.replace(u'\n', u' ');
    std::fprintf(stderr, "ostrand-cli: %s\n", qPrintable(line));
    return failure.status;
}

Failure Usage(const QString& text) {
    return {kExitUsage, text};
}

Failure Failed(const QString& text) {
    return {kExitFailed, text};
}

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

enum class Command { Bands, Decode, Encode, Diff, Ports, Print, Read, Verify, Write };

struct CommandInfo {
    Command command;
    const char* name;
    const char* summary;
    const char* positional; // empty: none; one word per argument
};

constexpr CommandInfo kCommands[] = {
    {Command::Bands, "bands",
     "List the radio definitions of the configuration: the number --band takes, the name, the "
     "CPU type and the band limits when set.",
     ""},
    {Command::Decode, "decode", "Print the 16 channels of a personality file as CSV.", "FILE"},
    {Command::Encode, "encode",
     "Encode a channel plan in CSV (\"-\" reads standard input) into a personality file, and "
     "print the channels as stored.",
     "CSV"},
    {Command::Diff, "diff",
     "Compare two personality files as the grid shows them: one line per differing field, "
     "exit status 0 the same, 1 different, 2 trouble.",
     "A B"},
    {Command::Ports, "ports",
     "List the serial ports of this computer: device, description, manufacturer, serial "
     "number and USB vendor:product (\"no serial ports found\" when there are none).",
     ""},
    {Command::Print, "print",
     "Print a personality file's channel plan as a one-page PDF (-o), as the window prints "
     "it.",
     "FILE"},
    {Command::Read, "read", "Read the radio's personality into a file (Read Radio).", ""},
    {Command::Verify, "verify",
     "Read the radio (nothing is written to it) and compare it with a personality file as diff "
     "does: exit status 0 the same, 1 different, 2 the read failed.",
     "FILE"},
    {Command::Write, "write", "Write a personality file to the radio (Write Radio).", "FILE"},
};

QString GeneralHelp() {
    QString text = QStringLiteral(
        "Usage: ostrand-cli <command> [options]\n\n"
        "The channel codec and the radio operations of the Ostrand window, from the command "
        "line.\n\nCommands:\n");
    for (const CommandInfo& c : kCommands)
        text += QStringLiteral("  %1  %2\n")
                    .arg(QString::fromLatin1(c.name).leftJustified(7), QLatin1String(c.summary));
    text += QStringLiteral("\n\"ostrand-cli <command> --help\" lists a command's options.\n");
    return text;
}

// The options every command takes, and those of single commands.
struct Options {
    QCommandLineOption config{"config", "Configuration file (default: the window's).", "PATH"};
    QCommandLineOption band{"band", "Radio definition number, 1 for the first (default 1).", "N",
                            "1"};
    QCommandLineOption cpu{"cpu",
                           "CPU type: 16 (Delta-S layout) or 17 (Delta-SX layout); "
                           "default: the definition's.",
                           "ID"};
    QCommandLineOption refFreq{"ref-freq", "Ref. Freq. in MHz (default: the definition's).", "MHZ"};
    QCommandLineOption ifFreq{"if-freq", "IF Freq. in MHz (default: the definition's).", "MHZ"};
    QCommandLineOption rxMult{"rx-mult", "Rx Mult., 1 to 9 (default: the definition's).", "N"};
    QCommandLineOption txMult{"tx-mult", "Tx Mult., 1 to 9 (default: the definition's).", "N"};
    QCommandLineOption injection{"injection",
                                 "Injection side: hi or lo (default: the "
                                 "definition's).",
                                 "SIDE"};
    QCommandLineOption invertTx{"invert-tx",
                                "Tx DCG Invert: on or off (default: the "
                                "definition's).",
                                "ON|OFF"};
    QCommandLineOption invertRx{"invert-rx",
                                "Rx DCG Invert: on or off (default: the "
                                "definition's).",
                                "ON|OFF"};
    QCommandLineOption device{"device",
                              "Serial device of the RIB (default: the port chosen in the "
                              "window's Options > Serial Port, else the configuration's).",
                              "PATH"};
    QCommandLineOption log{"log", "Append the debug log lines to FILE.", "FILE"};
    QCommandLineOption output{QStringList{"o", "output"},
                              "The file to write: the personality file (encode, read), the PDF "
                              "(print).",
                              "FILE"};
    QCommandLineOption yesCpu{"yes-cpu-mismatch",
                              "Write even when the radio's CPU type differs from --cpu."};
    QCommandLineOption allowOutOfBand{"allow-out-of-band",
                                      "Write even when a frequency lies outside the definition's "
                                      "band limits."};
    QCommandLineOption noBackup{"no-backup",
                                "Keep no backup of the personality read or written (by "
                                "default one is kept in $XDG_DATA_HOME/Ostrand/backups)."};
    // Scales every wait and pause of the radio link (tests, slow links); 1 is real time.
    QCommandLineOption timeScale{"time-scale", "Scale of the link's waits.", "FACTOR", "1"};

    Options() { timeScale.setFlags(QCommandLineOption::HiddenFromHelp); }
};

// A command's help: its --help and the manual page are made from it.
CommandHelp HelpFor(const CommandInfo& info, const Options& o) {
    CommandHelp help{QLatin1String(info.name),
                     QLatin1String(info.summary),
                     QLatin1String(info.positional),
                     info.command == Command::Encode ? QStringLiteral("The channel plan.")
                     : info.command == Command::Diff ? QStringLiteral("The personality files.")
                                                     : QStringLiteral("The personality file."),
                     {o.config}};
    if (info.command == Command::Ports) help.options.clear();
    if (info.command != Command::Bands && info.command != Command::Ports)
        help.options << QList<QCommandLineOption>{o.band,     o.cpu,    o.refFreq,   o.ifFreq,
                                                  o.rxMult,   o.txMult, o.injection, o.invertTx,
                                                  o.invertRx, o.device, o.log,       o.timeScale};
    if (info.command == Command::Encode || info.command == Command::Read ||
        info.command == Command::Print)
        help.options << o.output;
    if (info.command == Command::Write) help.options << o.yesCpu << o.allowOutOfBand;
    if (info.command == Command::Read || info.command == Command::Write) help.options << o.noBackup;
    return help;
}

struct Session {
    CodecContext ctx;
    BandLimits limits; // the definition's; frequencies outside are warned of
    RadioFields fields;
    QString definition; // the definition's name
    QString unusable;   // why the radio-wide values cannot encode a plan; empty when they can
    QString device;
    QString logPath;
    double timeScale = 1.0; // of the clock the radio operations run on
    bool backup = true;     // read and write keep a backup of the personality
};

// A radio-wide field value as the window's field would hold it.
bool FieldNumber(const QString& text, int maxChars, QString& into) {
    if (text.isEmpty() || text.size() > maxChars || !ParseStrict(text)) return false;
    into = text;
    return true;
}

bool OnOff(const QString& text, bool& into) {
    if (text.compare(u"on", Qt::CaseInsensitive) == 0) {
        into = true;
        return true;
    }
    if (text.compare(u"off", Qt::CaseInsensitive) == 0) {
        into = false;
        return true;
    }
    return false;
}

// The configuration of --config, else the window's own (given one from the sample as the
// window would); a file without definitions is of no use to any command.
std::optional<Failure> LoadConfig(const QCommandLineParser& parser, const Options& o,
                                  Configuration& cfg, QString& path) {
    if (!parser.isSet(o.config))
        if (const QString seeded = SeedConfiguration(); !seeded.isEmpty())
            std::fprintf(stderr, "ostrand-cli: %s\n", qPrintable(seeded));
    path = parser.isSet(o.config) ? parser.value(o.config)
                                  : ProgramFile(QStringLiteral("Ostrand.ini"));
    if (const QString problem = LoadConfiguration(path, cfg); !problem.isEmpty())
        return Failed(
            QStringLiteral("cannot read the configuration %1: %2").arg(Native(path), problem));
    if (cfg.DefinitionCount() == 0)
        return Failed(
            QStringLiteral("the configuration %1 holds no radio definitions").arg(Native(path)));
    return std::nullopt;
}

std::optional<Failure> OpenSession(const QCommandLineParser& parser, const Options& o, Session& s) {
    // Option values first: a mistyped option is a usage error whatever the files hold.
    bool ok = false;
    const int band = parser.value(o.band).toInt(&ok, 10);
    if (!ok)
        return Usage(QStringLiteral("--band wants a definition number, not \"%1\"")
                         .arg(parser.value(o.band)));

    RadioFields overrides;
    const auto bad = [](const QString& option, const QString& wants, const QString& value) {
        return Usage(QStringLiteral("%1 wants %2, not \"%3\"").arg(option, wants, value));
    };
    if (parser.isSet(o.cpu) && parser.value(o.cpu) != u"16" && parser.value(o.cpu) != u"17")
        return bad("--cpu", "16 or 17", parser.value(o.cpu));
    if (parser.isSet(o.refFreq) &&
        !FieldNumber(parser.value(o.refFreq), kRadioFreqLength, overrides.RefFreq))
        return bad("--ref-freq", "a number of MHz of at most 4 characters",
                   parser.value(o.refFreq));
    if (parser.isSet(o.ifFreq) &&
        !FieldNumber(parser.value(o.ifFreq), kRadioFreqLength, overrides.IFFreq))
        return bad("--if-freq", "a number of MHz of at most 4 characters", parser.value(o.ifFreq));
    static const QRegularExpression multiplier(QStringLiteral("^[1-9]$"));
    if (parser.isSet(o.rxMult) && !multiplier.match(parser.value(o.rxMult)).hasMatch())
        return bad("--rx-mult", "a digit 1 to 9", parser.value(o.rxMult));
    if (parser.isSet(o.txMult) && !multiplier.match(parser.value(o.txMult)).hasMatch())
        return bad("--tx-mult", "a digit 1 to 9", parser.value(o.txMult));
    const QString side = parser.value(o.injection).toLower();
    if (parser.isSet(o.injection) && side != u"hi" && side != u"lo")
        return bad("--injection", "hi or lo", parser.value(o.injection));
    if (parser.isSet(o.invertTx) && !OnOff(parser.value(o.invertTx), overrides.DCGInvertTx))
        return bad("--invert-tx", "on or off", parser.value(o.invertTx));
    if (parser.isSet(o.invertRx) && !OnOff(parser.value(o.invertRx), overrides.DCGInvertRx))
        return bad("--invert-rx", "on or off", parser.value(o.invertRx));
    const double scale = parser.value(o.timeScale).toDouble(&ok);
    if (!ok || !(scale > 0) || scale > 100)
        return bad("--time-scale", "a positive factor", parser.value(o.timeScale));
    s.timeScale = scale;
    if (parser.isSet(o.device) && parser.value(o.device).isEmpty())
        return Usage(QStringLiteral("--device wants a device path"));
    if (parser.isSet(o.log) && parser.value(o.log).isEmpty())
        return Usage(QStringLiteral("--log wants a file name"));

    Configuration cfg;
    QString configPath;
    if (auto failure = LoadConfig(parser, o, cfg, configPath)) return failure;
    const int count = cfg.DefinitionCount();
    if (band < 1 || band > count)
        return Usage(QStringLiteral("--band %1 is out of range: the configuration holds %2 "
                                    "definition%3 (1 to %2)")
                         .arg(band)
                         .arg(count)
                         .arg(count == 1 ? QString() : QStringLiteral("s")));

    // The fields as band selection fills them, then what the command line changes.
    RadioFields fields = RadioFieldsFor(cfg.Definition(band));
    if (parser.isSet(o.cpu)) fields.CurRadioID = int16_t(parser.value(o.cpu).toInt());
    if (parser.isSet(o.refFreq)) fields.RefFreq = overrides.RefFreq;
    if (parser.isSet(o.ifFreq)) fields.IFFreq = overrides.IFFreq;
    if (parser.isSet(o.rxMult)) fields.RxMult = parser.value(o.rxMult);
    if (parser.isSet(o.txMult)) fields.TxMult = parser.value(o.txMult);
    if (parser.isSet(o.injection)) fields.InjectionHi = side == u"hi";
    if (parser.isSet(o.invertTx)) fields.DCGInvertTx = overrides.DCGInvertTx;
    if (parser.isSet(o.invertRx)) fields.DCGInvertRx = overrides.DCGInvertRx;
    const RadioValues values = ReadRadioValues(fields);
    s.ctx = ContextFor(cfg, band, values);
    s.limits = LimitsOf(cfg.Definition(band));
    s.fields = fields;
    s.definition = cfg.Names.at(band - 1);
    if (const auto bad = values.FirstUnusable()) {
        const QCommandLineOption* options[] = {&o.refFreq, &o.ifFreq, &o.rxMult, &o.txMult};
        const QCommandLineOption& option = *options[int(bad->value)];
        s.unusable = parser.isSet(option)
                         ? QStringLiteral("%1 (--%2)").arg(bad->reason, option.names().first())
                         : QStringLiteral("%1 (definition %2, \"%3\")")
                               .arg(bad->reason, QString::number(band), cfg.Names.at(band - 1));
    }

    s.device = PortInUse(parser.value(o.device), StoredPort(), cfg);
    s.logPath = parser.value(o.log);
    return std::nullopt;
}

// The personality file as the window's File Open takes it.
std::optional<Failure> LoadPersonality(const QString& path, EEImage& image) {
    const PersonalityRead read = ReadPersonalityFile(path);
    if (read.status != PersonalityRead::Ok) return Failed(ReadProblem(path, read));
    std::copy(read.bytes.begin(), read.bytes.end(), image.begin());
    return std::nullopt;
}

std::optional<Failure> SavePersonality(const QString& path, const EEImage& image) {
    const QString reason = WritePersonalityFile(path, image);
    if (reason.isEmpty()) return std::nullopt;
    return Failed(QStringLiteral("cannot write %1: %2").arg(Native(path), reason));
}

// The output file's folder must exist, and the file be a regular one if it exists, before a
// radio is read for it.
std::optional<Failure> CheckOutputPath(const QString& path) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return Failed(QStringLiteral("cannot write %1: not a regular file").arg(Native(path)));
    if (!info.absoluteDir().exists())
        return Failed(QStringLiteral("cannot write %1: no such folder").arg(Native(path)));
    return std::nullopt;
}

void PrintChannels(const std::vector<ChannelRow>& rows, const CodecContext& ctx) {
    QTextStream out(stdout);
    out << PlanCsv(rows, ctx);
}

int Decode(const Session& s, const QString& path) {
    EEImage image{};
    if (auto failure = LoadPersonality(path, image)) return Report(*failure);
    PrintChannels(DecodeAll(image, s.ctx), s.ctx);
    return kExitOk;
}

std::optional<Failure> ReadPlanText(const QString& path, QString& text) {
    QFile file;
    if (path == u"-") {
        if (!file.open(stdin, QIODevice::ReadOnly))
            return Failed(QStringLiteral("cannot read standard input"));
    } else {
        const QFileInfo info(path);
        if (!info.exists())
            return Failed(QStringLiteral("cannot read %1: no such file").arg(Native(path)));
        if (!info.isFile())
            return Failed(QStringLiteral("cannot read %1: not a file").arg(Native(path)));
        file.setFileName(path);
        if (!file.open(QIODevice::ReadOnly))
            return Failed(
                QStringLiteral("cannot read %1: %2").arg(Native(path), file.errorString()));
    }
    const QByteArray content = file.read(kPlanReadLimit + 1);
    if (file.error() != QFileDevice::NoError)
        return Failed(QStringLiteral("cannot read %1: %2").arg(Native(path), file.errorString()));
    if (content.size() > kPlanReadLimit)
        return Failed(QStringLiteral("%1 is too large for a channel plan").arg(Native(path)));
    text = QString::fromUtf8(content);
    return std::nullopt;
}

void Warn(const QString& text) {
    std::fprintf(stderr, "ostrand-cli: warning: %s\n", qPrintable(text));
}

// One warning per frequency outside the band, as the window would show the rows; how many.
size_t WarnOutOfBand(const std::vector<ChannelRow>& rows, const BandLimits& limits) {
    const std::vector<OutOfBand> outside = FrequenciesOutside(rows, limits);
    for (const OutOfBand& f : outside)
        Warn(OutsideText(f, limits));
    return outside.size();
}

int Encode(const Session& s, const QString& csvPath, const QString& outPath) {
    if (!s.unusable.isEmpty())
        return Report(Failed(s.unusable + QStringLiteral(": no frequency could be stored")));
    QString text;
    if (auto failure = ReadPlanText(csvPath, text)) return Report(*failure);
    StoredPlan plan;
    QString error;
    const bool stored = EncodePlan(text, csvPath, s.ctx, plan, error);
    for (const QString& warning : plan.warnings)
        Warn(warning);
    // A plan that was read but not stored has rows: it lost a frequency.
    if (!stored)
        return Report(
            Failed(plan.rows.empty() ? error : error + QStringLiteral("; nothing written")));
    WarnOutOfBand(plan.rows, s.limits);
    if (auto failure = SavePersonality(outPath, plan.image)) return Report(*failure);
    PrintChannels(plan.rows, s.ctx);
    return kExitOk;
}

// One line per definition: the number --band takes, the name, the CPU type and the band
// limits (EnforceLo, EnforceHi) when the definition sets them.
int Bands(const QCommandLineParser& parser, const Options& o) {
    Configuration cfg;
    QString path;
    if (auto failure = LoadConfig(parser, o, cfg, path)) return Report(*failure);
    const auto limit = [](float mhz) { return mhz != 0 ? QString::number(mhz) : QString(); };
    QTextStream out(stdout);
    out << CsvLine({QStringLiteral("Band"), QStringLiteral("Name"), QStringLiteral("CPU"),
                    QStringLiteral("Low MHz"), QStringLiteral("High MHz")})
        << '\n';
    for (int d = 1; d <= cfg.DefinitionCount(); ++d) {
        const RadioDefinition& def = cfg.Definition(d);
        QString cpu = QString::number(def.RadioID);
        if (def.RadioID == kDeltaSX) cpu += QStringLiteral(" (Delta-SX)");
        if (def.RadioID == kDeltaS) cpu += QStringLiteral(" (Delta-S)");
        out << CsvLine({QString::number(d), cfg.Names.at(d - 1), cpu, limit(def.EnforceLo),
                        limit(def.EnforceHi)})
            << '\n';
    }
    return kExitOk;
}

int RadioFailure(const CliHost& host, const QString& operation, int status = kExitFailed) {
    if (CliHost::Interrupted()) return Report({status, operation + QStringLiteral(" interrupted")});
    if (host.Declined())
        return Report(Failed(QStringLiteral("not written: the radio's CPU type differs from the "
                                            "file's (--cpu); --yes-cpu-mismatch writes it "
                                            "anyway")));
    return Report({status, operation + QStringLiteral(" failed")});
}

int Read(const Session& s, const QString& outPath) {
    if (auto failure = CheckOutputPath(outPath)) return Report(*failure);
    CliHost host(s.ctx.CurRadioID, s.device, s.logPath, false);
    BackupStore backups;
    if (s.backup) host.KeepBackups(&backups);
    Clock clock(s.timeScale);
    CliHost::StopOnInterrupt(clock);
    if (!ReadRadio(host, host, clock)) return RadioFailure(host, QStringLiteral("Read Radio"));
    if (auto failure = SavePersonality(outPath, host.Image())) return Report(*failure);
    return kExitOk;
}

// diff and verify have no answer on any failure.
int Trouble(Failure failure) {
    failure.status = kExitTrouble;
    return Report(failure);
}

// The differences of two blocks under ctx, one line each: 0 when there are none.
int PrintDifferences(const EEImage& a, const EEImage& b, const CodecContext& ctx) {
    const std::vector<FieldDifference> differences = ComparePlans(a, b, ctx);
    QTextStream out(stdout);
    for (const FieldDifference& d : differences)
        out << DifferenceLine(d) << '\n';
    return differences.empty() ? kExitOk : kExitDifferent;
}

int Diff(const Session& s, const QString& pathA, const QString& pathB) {
    EEImage a{}, b{};
    if (auto failure = LoadPersonality(pathA, a)) return Trouble(*failure);
    if (auto failure = LoadPersonality(pathB, b)) return Trouble(*failure);
    return PrintDifferences(a, b, s.ctx);
}

// Read Radio's exchanges only, into a block of its own; then the radio's block as diff shows
// it against the file's, in the layout of the radio's CPU type.
int Verify(const Session& s, const QString& path) {
    EEImage file{};
    if (auto failure = LoadPersonality(path, file)) return Trouble(*failure);
    CliHost host(s.ctx.CurRadioID, s.device, s.logPath, false);
    Clock clock(s.timeScale);
    CliHost::StopOnInterrupt(clock);
    if (!ReadRadio(host, host, clock))
        return RadioFailure(host, QStringLiteral("Read Radio"), kExitTrouble);
    CodecContext ctx = s.ctx;
    ctx.CurRadioID = host.CurRadioID();
    return PrintDifferences(file, host.Image(), ctx);
}

int Print(const Session& s, const QString& path, const QString& pdfPath) {
    EEImage image{};
    if (auto failure = LoadPersonality(path, image)) return Report(*failure);
    if (auto failure = CheckOutputPath(pdfPath)) return Report(*failure);
    const QString reason =
        WritePlanPdf(SheetFor(s.definition, s.fields, s.ctx, image, path), pdfPath);
    if (!reason.isEmpty())
        return Report(Failed(QStringLiteral("cannot write %1: %2").arg(Native(pdfPath), reason)));
    return kExitOk;
}

int Write(const Session& s, const QString& path, bool yesCpuMismatch, bool allowOutOfBand) {
    CliHost host(s.ctx.CurRadioID, s.device, s.logPath, yesCpuMismatch);
    if (auto failure = LoadPersonality(path, host.Image())) return Report(*failure);
    if (WarnOutOfBand(DecodeAll(host.Image(), s.ctx), s.limits) > 0 && !allowOutOfBand)
        return Report(Failed(QStringLiteral("not written: frequencies outside %1; "
                                            "--allow-out-of-band writes them anyway")
                                 .arg(s.limits.Text())));
    BackupStore backups;
    if (s.backup) host.KeepBackups(&backups);
    Clock clock(s.timeScale);
    CliHost::StopOnInterrupt(clock);
    if (!WriteRadio(host, host, clock)) return RadioFailure(host, QStringLiteral("Write Radio"));
    return kExitOk;
}

} // namespace

int Run(const QStringList& arguments) {
    QTextStream out(stdout);
    if (arguments.size() < 2) {
        std::fputs(qPrintable(GeneralHelp()), stderr);
        return kExitUsage;
    }
    const QString name = arguments.at(1);
    if (name == u"--help" || name == u"-h" || name == u"help") {
        out << GeneralHelp();
        return kExitOk;
    }
    if (name == u"--man") { // hidden: the build makes the manual page with it
        const Options o;
        std::vector<CommandHelp> all;
        for (const CommandInfo& c : kCommands)
            all.push_back(HelpFor(c, o));
        out << ManPage(all, CsvHeader());
        return kExitOk;
    }
    const CommandInfo* info = nullptr;
    for (const CommandInfo& c : kCommands)
        if (name == QLatin1String(c.name)) info = &c;
    if (!info)
        return Report(Usage(QStringLiteral("unknown command \"%1\"; the commands are bands, "
                                           "decode, diff, encode, ports, print, read, verify and "
                                           "write "
                                           "(--help)")
                                .arg(name)));

    const Options o;
    const CommandHelp help = HelpFor(*info, o);
    QCommandLineParser parser;
    parser.setApplicationDescription(help.summary);
    parser.addHelpOption();
    parser.addOptions(help.options);
    const QString positional = help.positional;
    if (!positional.isEmpty()) parser.addPositionalArgument(positional, help.positionalHelp);

    QStringList rest = arguments.mid(2);
    rest.prepend(arguments.first());
    if (!parser.parse(rest)) return Report(Usage(parser.errorText()));
    // Qt's help option comes with --help-all, which must not run the command either.
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        QString text = parser.helpText();
        text.replace(QRegularExpression(QStringLiteral("^Usage: \\S+")),
                     QStringLiteral("Usage: ostrand-cli ") + name);
        out << text;
        return kExitOk;
    }

    const QStringList args = parser.positionalArguments();
    const int wanted = positional.isEmpty() ? 0 : int(positional.count(u' ')) + 1;
    if (args.size() != wanted)
        return Report(Usage(wanted == 0 ? QStringLiteral("%1 takes no file argument").arg(name)
                            : wanted == 1
                                ? QStringLiteral("%1 wants one %2 argument").arg(name, positional)
                                : QStringLiteral("%1 wants %2 file arguments: %3")
                                      .arg(name, QString::number(wanted), positional)));
    const bool writesFile = info->command == Command::Encode || info->command == Command::Read ||
                            info->command == Command::Print;
    if (writesFile && !parser.isSet(o.output))
        return Report(Usage(QStringLiteral("%1 wants the file to write: -o FILE").arg(name)));
    if (writesFile && parser.value(o.output).isEmpty())
        return Report(Usage(QStringLiteral("-o wants a file name")));

    if (info->command == Command::Bands) return Bands(parser, o);
    if (info->command == Command::Ports) {
        out << PortListText(SystemSerialPorts());
        return kExitOk;
    }
    Session session;
    if (auto failure = OpenSession(parser, o, session))
        return info->command == Command::Diff || info->command == Command::Verify
                   ? Trouble(*failure)
                   : Report(*failure);
    if (info->command == Command::Read || info->command == Command::Write)
        session.backup = !parser.isSet(o.noBackup);

    switch (info->command) {
    case Command::Bands:
    case Command::Ports:
        break;
    case Command::Decode:
        return Decode(session, args.first());
    case Command::Encode:
        return Encode(session, args.first(), parser.value(o.output));
    case Command::Diff:
        return Diff(session, args.at(0), args.at(1));
    case Command::Print:
        return Print(session, args.first(), parser.value(o.output));
    case Command::Read:
        return Read(session, parser.value(o.output));
    case Command::Verify:
        return Verify(session, args.first());
    case Command::Write:
        return Write(session, args.first(), parser.isSet(o.yesCpu), parser.isSet(o.allowOutOfBand));
    }
    return kExitUsage;
}

} // namespace ostrand::cli
