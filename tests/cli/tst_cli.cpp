// ostrand-cli end to end: the real executable on real files, and against the simulated RIB.
#include "RibSimProcess.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kHeader = "Channel,Tx Freq.,Rx Freq.,PLL Ref. Position,PLL Ref. Item,Tx CG/DCG,"
                        "Rx CG/DCG,STE,CCT Position,CCT Item,Tx W,Tx Z,Rx W,Rx Z";

// Three definitions on one 13.2 MHz table, low injection, IF 10.0, multipliers 1: a Delta-SX,
// a Delta-S, and one whose divider table the file does not define.
QByteArray Config() {
    QByteArray ini = "[RadioDef]\n";
    const char* defs[][3] = {{"VHF SX", "17", "1"}, {"VHF S", "16", "1"}, {"No table", "17", "5"}};
    for (int n = 1; n <= 3; ++n)
        ini += QString("Name%1=%2\nRadioID%1=%3\nRefTable%1=%4\nTxMult%1=1\nRxMult%1=1\n"
                       "IFFreq%1=10.0\nRefOsc%1=13.2\nRefIndex%1=3\nInjection%1=LO\n")
                   .arg(n)
                   .arg(defs[n - 1][0], defs[n - 1][1], defs[n - 1][2])
                   .toLatin1();
    return ini + "[RefTableDef]\nIndex1Table1=3168\nIndex2Table1=2640\nIndex3Table1=2112\n"
                 "Index4Table1=3312\nIndex5Table1=2760\nIndex6Table1=2208\nIndex7Table1=2400\n"
                 "[DCGList]\nDCG1=023\nDCG2=754\n[CGList]\nCG1=67.0\nCG2=71.9\nCG3=74.4\n"
                 "CG4=77.0\nCG5=100.0\n";
}

const QString kWorkedRecord = "43BB08C9A22CA131";
const QString kWorkedLine = "1,155.3625,160.0000,3,6.250kHz,023,100.0,1,2,60 Sec,0,1,1,0";

// 256 digits: every byte `fill`, with the given records (channel -> 16 digits) in place.
QString Image(const QMap<int, QString>& records = {}, const QString& fill = "00") {
    QString digits = fill.repeated(128);
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

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString Path(const QString& name) const { return dir_.filePath(name); }

    QString Write(const QString& name, const QByteArray& content) {
        QFile f(Path(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write test file");
        f.write(content);
        return f.fileName();
    }

    // "%D" in an argument stands for the test folder; --config defaults to the test one.
    Result Run(QStringList args) {
        for (QString& a : args)
            a.replace("%D", dir_.path());
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
    }

    // A record decodes to the grid's texts; a typed plan, when given, is stored as that record,
    // printed as stored, and decodes back to exactly what was printed.
    void decodeAndEncode_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("plan");
        const QStringList none;
        QTest::newRow("worked example: 23 becomes 023, 160 gets four decimals")
            << none << kWorkedRecord << kWorkedLine
            << Plan({{1, "1,155.3625,160,3,,23,100.0,1,2,,0,1,1,0"}});
        QTest::newRow("Delta-S layout: CG list position, STE off, timer 5, W/Z ignored")
            << QStringList{"--band", "2"} << "63BB0850502CA131"
            << "1,155.3625,160.0000,3,6.250kHz,023,100.0,0,5,90 Sec,0,0,0,0"
            << Plan({{1, "1,155.3625,160,3,,23,100.0,0,5,,1,1,1,1"}});
        QTest::newRow("high injection: Rx twice the IF lower; 777 is only a warning")
            << QStringList{"--injection", "hi"} << kWorkedRecord
            << "1,155.3625,140.0000,3,6.250kHz,023,100.0,1,2,60 Sec,0,1,1,0"
            << Plan({{1, "1,155.3625,140,3,,23,100.0,1,2,,0,1,1,0"},
                     {4, "4,155.3625,,3,,777,,0,0,,0,0,0,0"}});
        QTest::newRow("a table the configuration lacks: no frequencies, items Disabled")
            << QStringList{"--band", "3"} << kWorkedRecord
            << "1,,,3,Disabled,023,100.0,1,2,60 Sec,0,1,1,0"
            << "";
        const QString quoted =
            R"("1", 155.36250 ,"160.00",3,"a, b","23","100.0",1,2,"x""y",0,1,1,0)";
        QStringList lines = Plan({{1, quoted}}).split('\n', Qt::SkipEmptyParts).mid(1);
        std::reverse(lines.begin(), lines.end());
        QTest::newRow("no header, any order, CR LF, comments, blanks, quotes, trailing zeros")
            << none << kWorkedRecord << kWorkedLine
            << "# channel plan\r\n\r\n" + lines.join("\r\n") + "\r\n  \r\n";
    }
    void decodeAndEncode() {
        QFETCH(QStringList, options);
        QFETCH(QString, record);
        QFETCH(QString, plan);
        const QString image = Image({{1, record}});
        const Result r = Run(QStringList{"decode", Write("in.DSX", image.toLatin1())} + options);
        QVERIFY2(r.code == 0 && r.err.isEmpty(), qPrintable(r.err));
        QCOMPARE(r.Lines().size(), 17);
        QCOMPARE(r.Lines()[0], kHeader);
        QTEST(r.Lines()[1], "line");
        if (plan.isEmpty()) return;
        QFile::remove(Path("out.DSX"));
        const Result e =
            Run(QStringList{"encode", Write("plan.csv", plan.toUtf8()), "-o", Path("out.DSX")} +
                options);
        QCOMPARE(e.code, 0);
        QCOMPARE(e.err.contains("line 5: Tx CG/DCG 777 cannot be stored"), plan.contains(",777,"));
        QTEST(e.Lines()[1], "line");
        QCOMPARE(QString::fromLatin1(Read(Path("out.DSX"))).mid(224, 16), record);
        QCOMPARE(Run(QStringList{"decode", Path("out.DSX")} + options).out, e.out);
    }

    // Every error: one line on stderr, a non-zero status, no file made or changed.
    void errorsWriteNothing_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("plan"); // written to %D/bad.csv when not empty
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QStringList decode{"decode", "%D/kept.DSX"};
        const QStringList encode{"encode", "%D/bad.csv", "-o", "%D/kept.DSX"};
        const auto row1 = [](const QString& line) { return Plan({{1, line}}); };
        QTest::newRow("unknown option")
            << decode + QStringList{"--bogus"} << "" << 2 << "Unknown option 'bogus'";
        QTest::newRow("band beyond the definitions")
            << decode + QStringList{"--band", "4"} << "" << 2
            << "--band 4 is out of range: the configuration holds 3 definitions";
        QTest::newRow("255 digits") << QStringList{"decode", "%D/bad.csv"} << Image().left(255) << 1
                                    << "Invalid Input File";
        QTest::newRow("missing configuration") << decode + QStringList{"--config", "%D/none.ini"}
                                               << "" << 1 << "cannot read the configuration";
        QTest::newRow("a line with 13 fields") << encode << row1("1,,,0,,,,0,0,,0,0,0") << 1
                                               << "bad.csv: line 2: 14 fields expected, found 13";
        QTest::newRow("a channel twice") << encode << Plan() + "2,,,0,,,,0,0,,0,0,0,0\n"
                                         << 1 << "line 18: channel 2 is already given on line 3";
        QTest::newRow("frequency that is no number")
            << encode << row1("1,15x.5,,0,,,,0,0,,0,0,0,0") << 1
            << "Tx Freq. \"15x.5\" is not a frequency";
        QTest::newRow("encode into a missing folder")
            << QStringList{"encode", "%D/bad.csv", "-o", "%D/no/such/dir/x.DSX"} << Plan() << 1
            << "cannot write";
    }
    void errorsWriteNothing() {
        QFETCH(QStringList, args);
        QFETCH(QString, plan);
        QFETCH(QString, message);
        const QByteArray kept = Image({{3, kWorkedRecord}}).toLatin1();
        Write("kept.DSX", kept);
        if (!plan.isEmpty()) Write("bad.csv", plan.toUtf8());
        const Result r = Run(args);
        QTEST(r.code, "status");
        QVERIFY2(r.err.startsWith("ostrand-cli: ") && r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.err.count('\n'), 1);
        QCOMPARE(Read(Path("kept.DSX")), kept);
        QCOMPARE(r.out, QString());
    }

    // Against the simulated RIB (time scaled 1/20), a Delta-S radio.
    void radioOperations_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("last"); // status line
        const QStringList read{"read", "-o", "%D/read.DSX"}, write{"write", "%D/plan.DSX"}, none;
        QTest::newRow("a good read saves the radio's block") << read << none << 0 << "Done";
        QTest::newRow("a bad checksum saves nothing")
            << read << QStringList{"--bad-checksum", "3"} << 1 << "Failed while reading Data";
        QTest::newRow("Delta-SX file to a Delta-S radio: refused by default")
            << write << none << 1 << "No (--yes-cpu-mismatch writes it anyway)";
        QTest::newRow("Delta-SX file to a Delta-S radio: written when told")
            << write + QStringList{"--yes-cpu-mismatch"} << none << 0 << "Verify OK!";
    }
    void radioOperations() {
        QFETCH(QStringList, args);
        QFETCH(QStringList, sim);
        QFETCH(int, status);
        const bool reading = args.first() == "read";
        const QString radio = Image({{1, kWorkedRecord}, {16, "0123456789ABCDEF"}});
        // Written as the file holds it, whatever the codec would make of it.
        const QString file = Image({{1, kWorkedRecord}, {7, "FFFFFFFFFFFFFFFF"}});
        Write("plan.DSX", file.toLatin1());
        for (const char* name : {"read.DSX", "saved.DSX", "op.log"})
            QFile::remove(Path(name));
        ostrand::RibSimProcess rib(sim + QStringList{"--cpu", "0x10", "--revision", "2", "--save",
                                                     Path("saved.DSX"), "--load",
                                                     Write("radio.DSX", radio.toLatin1())});
        const Result r = Run(args + QStringList{"--device", rib.Device(), "--time-scale", "0.05",
                                                "--log", "%D/op.log"});
        QCOMPARE(r.code, status);
        QCOMPARE(r.err.count('\n'), status == 0 ? 0 : 1);
        QTEST(r.Lines().last(), "last");
        rib.Finish();
        QCOMPARE(QString::fromLatin1(Read(Path("saved.DSX"))).trimmed(),
                 !reading && status == 0 ? file : radio);
        QCOMPARE(QString::fromLatin1(Read(Path("read.DSX"))), reading && status == 0 ? radio : "");
        // The debug log: "hh:mm:ss : text" lines ending in CR LF.
        const QString log = QString::fromLocal8Bit(Read(Path("op.log")));
        const QString first = reading ? "mdRead: Entered\r\n" : "cmdWrite: Entered\r\n";
        QVERIFY2(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d : " + first).match(log).hasMatch(),
                 qPrintable(log.left(80)));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
