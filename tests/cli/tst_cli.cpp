// ostrand-cli end to end: the real executable on real files, and against the simulated RIB.
#include "RibSimProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

const QString kHeader = "Channel,Tx Freq.,Rx Freq.,PLL Ref. Position,PLL Ref. Item,Tx CG/DCG,"
                        "Rx CG/DCG,STE,CCT Position,CCT Item,Tx W,Tx Z,Rx W,Rx Z";
const QString kWorkedRecord = "43BB08C9A22CA131";
const QString kWorkedLine = "1,155.3625,160.0000,3,6.250kHz,023,100.0,1,2,60 Sec,0,1,1,0";

// Three definitions on one 13.2 MHz table, low injection, IF 10.0, multipliers 1: a Delta-SX,
// a Delta-S, and one whose divider table the file does not define; a fourth with Ref. Freq. 0.
QByteArray Config() {
    QString ini = "[RadioDef]\n";
    const char* defs[][3] = {{"VHF SX", "17", "1"}, {"VHF S", "16", "1"}, {"No table", "17", "5"}};
    for (int n = 1; n <= 3; ++n)
        ini += QString("Name%1=%2\nRadioID%1=%3\nRefTable%1=%4\nTxMult%1=1\nRxMult%1=1\n"
                       "IFFreq%1=10.0\nRefOsc%1=13.2\nRefIndex%1=3\nInjection%1=LO\n")
                   .arg(n)
                   .arg(defs[n - 1][0], defs[n - 1][1], defs[n - 1][2]);
    ini += "Name4=Broken\nRadioID4=16\nRefOsc4=0\nEnforceLo4=136\nEnforceHi4=174.5\n";
    return (ini + "[RefTableDef]\nIndex1Table1=3168\nIndex2Table1=2640\nIndex3Table1=2112\n"
                  "Index4Table1=3312\nIndex5Table1=2760\nIndex6Table1=2208\nIndex7Table1=2400\n"
                  "[DCGList]\nDCG1=023\nDCG2=754\n[CGList]\nCG1=67.0\nCG2=71.9\nCG3=74.4\n"
                  "CG4=77.0\nCG5=100.0\n")
        .toLatin1();
}

// 256 digits, all zero but the given records (channel -> 16 digits).
QString Image(const QMap<int, QString>& records = {}) {
    QString digits(256, '0');
    for (auto it = records.cbegin(); it != records.cend(); ++it)
        digits.replace(((~it.key()) & 15) * 16, 16, it.value());
    return digits;
}

// A plan with a header: the given channel lines, every other channel empty.
QString Plan(const QMap<int, QString>& lines = {}) {
    QString text = kHeader + "\n";
    for (int c = 1; c <= 16; ++c)
        text += lines.value(c, QString::number(c) + ",,,0,,,,0,0,,0,0,0,0") + "\n";
    return text;
}

struct Result {
    int code;
    QString out, err;
    QStringList Lines() const { return out.split('\n', Qt::SkipEmptyParts); }
};

} // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString Path(const QString& name) const { return dir_.filePath(name); }
    QString Read(const QString& name) const {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
    void Write(const QString& name, const QString& content) {
        QFile f(Path(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write test file");
        f.write(content.toUtf8());
    }

    // A command line split at spaces; "%D" stands for the test folder.
    QStringList Args(QString line) const {
        return line.replace("%D", dir_.path()).split(' ', Qt::SkipEmptyParts);
    }
    // --config defaults to the test one.
    Result Run(const QString& line) {
        QStringList args = Args(line);
        if (!args.contains("--config")) args << "--config" << Path("Ostrand.ini");
        QProcess p;
        p.start(qEnvironmentVariable("OSTRAND_BINARY_DIR") + "/ostrand-cli", args);
        const bool done = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
        return {done ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        Write("Ostrand.ini", Config());
        QCOMPARE(::mkfifo(QFile::encodeName(Path("fifo")), 0644), 0);
        // The MIME database with the package file as installed, beside the system's.
        QVERIFY(QDir().mkpath(Path("share/mime/packages")));
        QVERIFY(QFile::copy(qEnvironmentVariable("OSTRAND_SOURCE_DIR") +
                                "/data/desktop/ostrand-mime.xml",
                            Path("share/mime/packages/ostrand.xml")));
        qputenv("XDG_DATA_DIRS", (Path("share") + ":/usr/local/share:/usr/share").toLocal8Bit());
    }

    void bands() {
        QCOMPARE(Run("bands").out, "Band,Name,CPU,Low MHz,High MHz\n1,VHF SX,17 (Delta-SX),,\n"
                                   "2,VHF S,16 (Delta-S),,\n3,No table,17 (Delta-SX),,\n"
                                   "4,Broken,16 (Delta-S),136,174.5\n");
    }

    // Whatever decode prints of a garbled image, encode takes back (tones it cannot store
    // are warnings).
    void encodeTakesDecodeBack() {
        QString digits;
        QRandomGenerator random(5);
        for (int i = 0; i < 128; ++i)
            digits += QString::number(0x100 + random.bounded(256), 16).mid(1);
        Write("garbled.DSX", digits);
        Write("garbled.csv", Run("decode %D/garbled.DSX").out);
        QVERIFY(Read("garbled.csv").contains(",-"));
        const Result r = Run("encode %D/garbled.csv -o %D/again.DSX");
        QVERIFY2(r.code == 0, qPrintable(r.err));
    }

    // A record decodes to the grid's texts; a typed plan, when given, is stored as that record,
    // printed as stored, and decodes back to exactly what was printed.
    void decodeAndEncode_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("plan");
        const QString w = kWorkedRecord;
        QTest::newRow("worked example: 23 becomes 023, 160 gets four decimals")
            << "" << w << kWorkedLine << Plan({{1, "1,155.3625,160,3,,23,100.0,1,2,,0,1,1,0"}});
        QTest::newRow("Delta-S layout: CG list position, STE off, timer 5, W/Z ignored")
            << "--band 2"
            << "63BB0850502CA131"
            << "1,155.3625,160.0000,3,6.250kHz,023,100.0,0,5,90 Sec,0,0,0,0"
            << Plan({{1, "1,155.3625,160,3,,23,100.0,0,5,,1,1,1,1"}});
        QTest::newRow("high injection: Rx twice the IF lower; 777 is only a warning")
            << "--injection hi" << w
            << "1,155.3625,140.0000,3,6.250kHz,023,100.0,1,2,60 Sec,0,1,1,0"
            << Plan({{1, "1,155.3625,140,3,,23,100.0,1,2,,0,1,1,0"},
                     {4, "4,155.3625,,3,,777,,0,0,,0,0,0,0"}});
        QTest::newRow("a table the configuration lacks: no frequencies, items Disabled")
            << "--band 3" << w << "1,,,3,Disabled,023,100.0,1,2,60 Sec,0,1,1,0"
            << "";
        QStringList lines = Plan({{1, R"("1", 155.36250 ,"160.00",3,"a, b","23","100.0",1,2,)"
                                      R"("x""y",0,1,1,0)"}})
                                .split('\n', Qt::SkipEmptyParts)
                                .mid(1);
        std::reverse(lines.begin(), lines.end());
        QTest::newRow("no header, any order, CR LF, comments, blanks, quotes, trailing zeros")
            << "" << w << kWorkedLine << "# plan\r\n\r\n" + lines.join("\r\n") + "\r\n  \r\n";
    }
    void decodeAndEncode() {
        QFETCH(QString, options);
        QFETCH(QString, record);
        QFETCH(QString, plan);
        Write("in.DSX", Image({{1, record}}));
        const Result r = Run("decode %D/in.DSX " + options);
        QVERIFY2(r.code == 0 && r.err.isEmpty(), qPrintable(r.err));
        QCOMPARE(r.Lines().size(), 17);
        QCOMPARE(r.Lines()[0], kHeader);
        QTEST(r.Lines()[1], "line");
        if (plan.isEmpty()) return;
        QFile::remove(Path("out.DSX"));
        Write("plan.csv", plan);
        const Result e = Run("encode %D/plan.csv -o %D/out.DSX " + options);
        QCOMPARE(e.code, 0);
        QCOMPARE(e.err.contains("line 5: Tx CG/DCG 777 cannot be stored"), plan.contains(",777,"));
        QTEST(e.Lines()[1], "line");
        QCOMPARE(Read("out.DSX").mid(224, 16), record);
        QCOMPARE(Run("decode %D/out.DSX " + options).out, e.out);
    }

    // Every error: one line on stderr, a non-zero status, no file made or changed.
    void errorsWriteNothing_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("plan"); // written to %D/bad.csv when not empty
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString decode = "decode %D/kept.DSX ", encode = "encode %D/bad.csv -o %D/kept.DSX";
        auto row = [](const char* what, const QString& args, const QString& plan, int status,
                      const char* message) {
            QTest::newRow(what) << args << plan << status << QString(message);
        };
        auto plan1 = [](const char* line) { return Plan({{1, line}}); };
        row("unknown option", decode + "--bogus", "", 2, "Unknown option 'bogus'");
        row("band beyond the definitions", decode + "--band 5", "", 2,
            "--band 5 is out of range: the configuration holds 4 definitions");
        row("255 digits", "decode %D/bad.csv", Image().left(255), 1, "Invalid Input File");
        row("missing configuration", decode + "--config %D/none.ini", "", 1,
            "none.ini: no such file");
        row("configuration that is a folder", decode + "--config %D", "", 1,
            ": not a regular file");
        row("a line with 13 fields", encode, plan1("1,,,0,,,,0,0,,0,0,0"), 1,
            "bad.csv: line 2: 14 fields expected, found 13");
        row("a channel twice", encode, Plan() + "2,,,0,,,,0,0,,0,0,0,0\n", 1,
            "line 18: channel 2 is already given on line 3");
        row("frequency that is no number", encode, plan1("1,15x.5,,0,,,,0,0,,0,0,0,0"), 1,
            "Tx Freq. \"15x.5\" is not a frequency");
        row("into a missing folder", "encode %D/bad.csv -o %D/no/dir/x.DSX", Plan(), 1,
            "cannot write");
        row("into a FIFO", "encode %D/bad.csv -o %D/fifo", Plan(), 1,
            "cannot write " + QDir(dir_.path()).filePath("fifo").toUtf8() + ": not a regular file");
        row("Ref. Freq. 0 given", encode + " --ref-freq 0", Plan(), 1,
            "Ref. Freq. must be greater than 0 (--ref-freq)");
        row("Ref. Freq. 0 by the definition", encode + " --band 4", Plan(), 1,
            "Ref. Freq. must be greater than 0 (definition 4, \"Broken\")");
        row("a frequency that cannot be stored", encode, plan1("1,2000,,3,,,,0,0,,0,0,0,0"), 1,
            "Tx Freq. 2000 cannot be stored; channel 1 has no transmit frequency; nothing written");
    }
    void errorsWriteNothing() {
        QFETCH(QString, args);
        QFETCH(QString, plan);
        QFETCH(QString, message);
        const QString kept = Image({{3, kWorkedRecord}});
        Write("kept.DSX", kept);
        if (!plan.isEmpty()) Write("bad.csv", plan);
        const Result r = Run(args);
        QTEST(r.code, "status");
        QVERIFY2(r.err.startsWith("ostrand-cli: ") && r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.err.count('\n'), 1);
        QCOMPARE(Read("kept.DSX"), kept);
        QCOMPARE(r.out, QString());
    }

    // Each manual page names every option that its program's --help lists: the CLI's page is
    // made from the tables --help prints, ribsim's is written by hand.
    void manPagesNameEveryOption_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("command");
        QTest::newRow("ribsim") << "ribsim"
                                << "";
        for (const QString& line : Run("--help").Lines())
            if (line.startsWith("  "))
                QTest::newRow(qPrintable("ostrand-cli " + line.section(' ', 2, 2)))
                    << "ostrand-cli" << line.section(' ', 2, 2);
    }
    void manPagesNameEveryOption() {
        QFETCH(QString, program);
        QFETCH(QString, command);
        const QString bin = qEnvironmentVariable("OSTRAND_BINARY_DIR");
        QFile page(bin + "/man/" + program + ".1");
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString man = QString::fromUtf8(page.readAll());
        QProcess p;
        p.start(bin + '/' + program, QStringList{command, "--help"}.mid(command.isEmpty()));
        QVERIFY(p.waitForFinished());
        const QString help = QString::fromUtf8(p.readAllStandardOutput());
        if (!command.isEmpty()) {
            QVERIFY(man.contains("\\fB" + command + "\\fR"));
            QCOMPARE(Run(command + " --help-all").out, help);
        }
        static const QRegularExpression option("^  (?:(-\\w), )?(--[\\w-]+)",
                                               QRegularExpression::MultilineOption);
        QStringList names;
        for (const QRegularExpressionMatch& m : option.globalMatch(help))
            names << m.capturedTexts().mid(1);
        names.removeAll(QString());
        QVERIFY(names.size() > 2);
        for (QString name : names)
            QVERIFY2(man.contains(name.replace("-", "\\-")), qPrintable(name));
    }

    // Personality files are one type whatever the case of their extension.
    void personalityMimeType_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("personality");
        for (const char* name : {"A.DSX", "b.dsx", "c.Dfs", "D.DS"})
            QTest::newRow(name) << name << true;
        QTest::newRow("a longer extension") << "e.dsxx" << false;
    }
    void personalityMimeType() {
        QFETCH(QString, name);
        QTEST(QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension).name() ==
                  "application/x-ostrand-personality",
              "personality");
    }

    // Against the simulated RIB (time scaled 1/20), a Delta-S radio. The file is written as it
    // holds, whatever the codec would make of it.
    void radioOperations_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("sim");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("last"); // status line
        auto row = [](const char* what, const char* args, const char* sim, int status,
                      const char* last) {
            QTest::newRow(what) << QString(args) << QString(sim) << status << QString(last);
        };
        row("a good read saves the radio's block", "read -o %D/read.DSX", "", 0, "Done");
        row("a bad checksum saves nothing", "read -o %D/read.DSX", "--bad-checksum 3 ", 1,
            "Failed while reading Data");
        row("Delta-SX file to a Delta-S radio: refused by default", "write %D/plan.DSX", "", 1,
            "No (--yes-cpu-mismatch writes it anyway)");
        row("Delta-SX file to a Delta-S radio: written when told",
            "write %D/plan.DSX --yes-cpu-mismatch", "", 0, "Verify OK!");
    }
    void radioOperations() {
        QFETCH(QString, args);
        QFETCH(QString, sim);
        QFETCH(int, status);
        const bool reading = args.startsWith("read"), ok = status == 0;
        const QString radio = Image({{1, kWorkedRecord}, {16, "0123456789ABCDEF"}});
        const QString file = Image({{1, kWorkedRecord}, {7, "FFFFFFFFFFFFFFFF"}});
        Write("plan.DSX", file);
        Write("radio.DSX", radio);
        for (const char* name : {"read.DSX", "saved.DSX", "op.log"})
            QFile::remove(Path(name));
        ostrand::RibSimProcess rib(
            Args(sim + "--cpu 0x10 --revision 2 --save %D/saved.DSX --load %D/radio.DSX"));
        const Result r = Run(args + " --time-scale 0.05 --log %D/op.log --device " + rib.Device());
        QCOMPARE(r.code, status);
        QCOMPARE(r.err.count('\n'), ok ? 0 : 1);
        QTEST(r.Lines().last(), "last");
        rib.Finish();
        QCOMPARE(Read("saved.DSX").trimmed(), !reading && ok ? file : radio);
        QCOMPARE(Read("read.DSX"), reading && ok ? radio : "");
        QVERIFY(Read("op.log").contains(reading ? " : mdRead: Entered\r\n"
                                                : " : cmdWrite: Entered\r\n"));
    }

    // In real time: the line hangs up inside the records, and the command ends at once with
    // the device named, one log line for the event, and the log written to a stream.
    void lineGoneEndsAtOnce() {
        ostrand::RibSimProcess rib(Args("--hangup-after 100"));
        QElapsedTimer clock;
        clock.start();
        const Result r = Run("read -o %D/gone.DSX --log /dev/stderr --device " + rib.Device());
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(r.code, 1);
        QCOMPARE(r.Lines().last(),
                 "Lost the connection to " + rib.Device() + ". Is the RIB still plugged in?");
        QCOMPARE(r.err.count(" : OnComm: "), 1);
        QVERIFY2(!r.err.contains(QRegularExpression("\\bQ\\w+::")),
                 qPrintable(r.err)); // Qt warnings
        QCOMPARE(Read("gone.DSX"), QString());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
