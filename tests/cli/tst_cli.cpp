// ostrand-cli end to end: the real executable on real files, and against the simulated RIB.
#include "RibSimProcess.h"

#include <QDir>
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
    ini += "[RefTableDef]\n";
    int n = 1;
    for (int divider : {3168, 2640, 2112, 3312, 2760, 2208, 2400})
        ini += QString("Index%1Table1=%2\n").arg(n++).arg(divider).toLatin1();
    return ini + "[DCGList]\nDCG1=023\nDCG2=754\n[CGList]\nCG1=67.0\nCG2=71.9\nCG3=74.4\n"
                 "CG4=77.0\nCG5=100.0\n";
}

const QString kWorkedRecord = "43BB08C9A22CA131";
const QString kWorkedLine = "1,155.3625,160.0000,3,6.250kHz,023,100.0,1,2,60 Sec,0,1,1,0";
const QString kWorkedTyped = "1,155.3625,160,3,,23,100.0,1,2,,0,1,1,0";

int RecordIndex(int channel) {
    return ((~channel) & 15) * 8;
}

// 256 digits: every byte `fill`, with the given records (channel -> 16 digits) in place.
QString Image(const QMap<int, QString>& records = {}, const QString& fill = "00") {
    QString digits = fill.repeated(128);
    for (auto it = records.cbegin(); it != records.cend(); ++it)
        digits.replace(RecordIndex(it.key()) * 2, 16, it.value());
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
    int code = -1;
    QString out, err;
    QString Line(int i) const { return out.split('\n', Qt::SkipEmptyParts).value(i); }
};

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

    QByteArray Read(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // "%D" in an argument stands for the test folder; --config defaults to the test one.
    Result Run(QStringList args) {
        for (QString& a : args)
            a.replace("%D", dir_.path());
        if (!args.contains("--config")) args << "--config" << Path("Ostrand.ini");
        QProcess p;
        p.start(qEnvironmentVariable("OSTRAND_BINARY_DIR") + "/ostrand-cli", args);
        Result r;
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished(1000);
            return r;
        }
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        Write("Ostrand.ini", Config());
        Write("worked.DSX", Image({{1, kWorkedRecord}}).toLatin1());
        Write("deltas.DS", Image({{1, "63BB0850502CA131"}}).toLatin1());
        Write("erased.DSX", Image({}, "FF").toLatin1());
        Write("short.DSX", Image().left(255).toLatin1());
    }

    void decode_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("expected");
        QTest::newRow("worked example record, Delta-SX layout")
            << "worked.DSX" << QStringList() << 1 << kWorkedLine;
        QTest::newRow("channel 16 comes from record 120, all zero")
            << "worked.DSX" << QStringList() << 16 << "16,,,0,4.167/6.250kHz,,,1,0,Off,0,0,0,0";
        QTest::newRow("erased record, Delta-SX: reference 7, boxes set, timer 7")
            << "erased.DSX" << QStringList() << 5 << "5,,,7,Disabled,,,0,7,210 Sec,1,1,1,1";
        QTest::newRow("erased record, Delta-S: counters 1023/127 on divider 2400, no W/Z")
            << "erased.DSX" << QStringList{"--band", "2"} << 5
            << "5,360.7945,370.7945,7,5.500kHz,,,0,15,240 Sec,0,0,0,0";
        QTest::newRow("Delta-S record: STE off, timer 5, CG list position 5")
            << "deltas.DS" << QStringList{"--band", "2"} << 1
            << "1,155.3625,160.0000,3,6.250kHz,023,100.0,0,5,90 Sec,0,0,0,0";
        QTest::newRow("high injection shows Rx twice the IF lower")
            << "worked.DSX" << QStringList{"--injection", "hi"} << 1
            << "1,155.3625,140.0000,3,6.250kHz,023,100.0,1,2,60 Sec,0,1,1,0";
        QTest::newRow("Tx Mult. 2 doubles Tx only")
            << "worked.DSX" << QStringList{"--tx-mult", "2"} << 1
            << "1,310.7250,160.0000,3,6.250kHz,023,100.0,1,2,60 Sec,0,1,1,0";
        QTest::newRow("Tx invert reads the stored word inverted")
            << "worked.DSX" << QStringList{"--invert-tx", "on"} << 1
            << "1,155.3625,160.0000,3,6.250kHz,754,100.0,1,2,60 Sec,0,1,1,0";
        QTest::newRow("a table the configuration lacks: no frequencies, items Disabled")
            << "worked.DSX" << QStringList{"--band", "3"} << 1
            << "1,,,3,Disabled,023,100.0,1,2,60 Sec,0,1,1,0";
    }
    void decode() {
        QFETCH(QString, file);
        QFETCH(QStringList, options);
        QFETCH(int, channel);
        const Result r = Run(QStringList{"decode", Path(file)} + options);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out.count('\n'), 17);
        QCOMPARE(r.Line(0), kHeader);
        QTEST(r.Line(channel), "expected");
    }

    // A typed plan is stored, printed as stored, and decodes back to exactly what was printed.
    void encodeRoundTrip_data() {
        QTest::addColumn<QString>("plan");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("expected"); // channel 1 as stored
        QTest::addColumn<QString>("record");   // channel 1's record, when checked
        QTest::newRow("worked example typed: 23 becomes 023, 160 gets four decimals")
            << Plan({{1, kWorkedTyped}}) << QStringList() << kWorkedLine << kWorkedRecord;
        QTest::newRow("Delta-S layout: CG list position, STE off, timer 5, W/Z ignored")
            << Plan({{1, "1,155.3625,160,3,,23,100.0,0,5,,1,1,1,1"}}) << QStringList{"--band", "2"}
            << "1,155.3625,160.0000,3,6.250kHz,023,100.0,0,5,90 Sec,0,0,0,0"
            << "63BB0850502CA131";
        QTest::newRow("blanks and trailing zeros in a frequency")
            << Plan({{1, "1, 155.36250 ,160.00,3,,23,100.0,1,2,,0,1,1,0"}}) << QStringList()
            << kWorkedLine << kWorkedRecord;
        QTest::newRow("quoted fields, a comma and a quote in ignored item texts")
            << Plan({{1, R"("1","155.3625","160",3,"a, b","23","100.0",1,2,"x""y",0,1,1,0)"}})
            << QStringList() << kWorkedLine << kWorkedRecord;
        QTest::newRow("an empty row")
            << Plan() << QStringList() << "1,,,0,4.167/6.250kHz,,,0,0,Off,0,0,0,0"
            << "";
        QStringList lines = Plan({{1, kWorkedTyped}}).split('\n', Qt::SkipEmptyParts).mid(1);
        std::reverse(lines.begin(), lines.end());
        QTest::newRow("no header, channels in any order, CR LF line ends")
            << lines.join("\r\n") + "\r\n"
            << QStringList() << kWorkedLine << kWorkedRecord;
        QTest::newRow("comment and blank lines are skipped")
            << "# channel plan\n\n" + Plan({{1, kWorkedTyped}}) + "\n  \n"
            << QStringList() << kWorkedLine << kWorkedRecord;
    }
    void encodeRoundTrip() {
        QFETCH(QString, plan);
        QFETCH(QStringList, options);
        QFETCH(QString, record);
        const QString out = Path("encoded.DSX");
        QFile::remove(out);
        const Result r =
            Run(QStringList{"encode", Write("plan.csv", plan.toUtf8()), "-o", out} + options);
        QCOMPARE(r.code, 0);
        QTEST(r.Line(1), "expected");
        const QByteArray digits = Read(out);
        QCOMPARE(digits.size(), 256);
        if (!record.isEmpty())
            QCOMPARE(QString::fromLatin1(digits.mid(RecordIndex(1) * 2, 16)), record);
        const Result back = Run(QStringList{"decode", out} + options);
        QCOMPARE(back.code, 0);
        QCOMPARE(back.out, r.out);
    }

    void encodeWarnsWhatItCannotStore() {
        const Result r = Run(
            {"encode", Write("plan.csv", Plan({{4, "4,155.3625,,3,,777,,0,0,,0,0,0,0"}}).toUtf8()),
             "-o", Path("warned.DSX")});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains("line 5: Tx CG/DCG 777 cannot be stored"), qPrintable(r.err));
        QCOMPARE(r.err.count('\n'), 1);
    }

    // Every error: one line on stderr, a non-zero status, nothing written.
    void errorsWriteNothing_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("plan"); // written to %D/bad.csv when not empty
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QStringList decode{"decode", "%D/worked.DSX"};
        const QStringList encode{"encode", "%D/bad.csv", "-o", "%D/never.DSX"};
        const auto row1 = [](const QString& line) { return Plan({{1, line}}); };
        QTest::newRow("unknown option")
            << decode + QStringList{"--bogus"} << "" << 2 << "Unknown option 'bogus'";
        QTest::newRow("missing personality file")
            << QStringList{"decode", "%D/none.DSX"} << "" << 1 << "none.DSX: no such file";
        QTest::newRow("255 digits")
            << QStringList{"decode", "%D/short.DSX"} << "" << 1 << "short.DSX: Invalid Input File";
        QTest::newRow("band beyond the definitions")
            << decode + QStringList{"--band", "4"} << "" << 2
            << "--band 4 is out of range: the configuration holds 3 definitions";
        QTest::newRow("option value out of range")
            << decode + QStringList{"--cpu", "18"} << "" << 2 << "--cpu wants 16 or 17";
        QTest::newRow("missing configuration") << decode + QStringList{"--config", "%D/none.ini"}
                                               << "" << 1 << "cannot read the configuration";
        QTest::newRow("encode without -o") << QStringList{"encode", "%D/bad.csv"} << Plan() << 2
                                           << "encode wants the file to write: -o FILE";
        QTest::newRow("a line with 13 fields") << encode << row1("1,,,0,,,,0,0,,0,0,0") << 1
                                               << "bad.csv: line 2: 14 fields expected, found 13";
        QTest::newRow("a channel twice") << encode << Plan() + "2,,,0,,,,0,0,,0,0,0,0\n"
                                         << 1 << "line 18: channel 2 is already given on line 3";
        QTest::newRow("a channel missing")
            << encode << Plan().section('\n', 0, 15) + "\n"
            << 1 << "channel 16 missing: the plan must give all 16 channels";
        QTest::newRow("reference position 8") << encode << row1("1,,,8,,,,0,0,,0,0,0,0") << 1
                                              << "line 2: PLL Ref. Position must be 0 to 7";
        QTest::newRow("unterminated quote") << encode << row1("1,\"155.3625,,0,,,,0,0,,0,0,0,0")
                                            << 1 << "line 2: a quoted field has no closing quote";
        QTest::newRow("frequency that is no number")
            << encode << row1("1,15x.5,,0,,,,0,0,,0,0,0,0") << 1
            << "Tx Freq. \"15x.5\" is not a frequency";
        QTest::newRow("9 is no octal digit") << encode << row1("1,,,0,,9,,0,0,,0,0,0,0") << 1
                                             << "Tx CG/DCG \"9\" is neither a CG tone";
        QTest::newRow("box value 2") << encode << row1("1,,,0,,,,2,0,,0,0,0,0") << 1
                                     << "line 2: STE must be 0 or 1, not \"2\"";
        QTest::newRow("a header that is not the header")
            << encode << "Channel,Rx Freq.,Tx Freq.\n" + Plan().section('\n', 1) << 1
            << "line 1: the header line must read";
        QTest::newRow("encode into a missing folder")
            << QStringList{"encode", "%D/bad.csv", "-o", "%D/no/such/dir/x.DSX"} << Plan() << 1
            << "cannot write";
        QTest::newRow("read on a device that does not exist")
            << QStringList{"read",       "-o",           "%D/never.DSX", "--device",
                           "%D/ttyNONE", "--time-scale", "0.01"}
            << "" << 1 << "Read Radio failed";
    }
    void errorsWriteNothing() {
        QFETCH(QStringList, args);
        QFETCH(QString, plan);
        QFETCH(QString, message);
        if (!plan.isEmpty()) Write("bad.csv", plan.toUtf8());
        const Result r = Run(args);
        QTEST(r.code, "status");
        QVERIFY2(r.err.startsWith("ostrand-cli: ") && r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(!QFile::exists(Path("never.DSX")));
        QVERIFY(!QDir(Path("no")).exists());
        if (args.first() != "read") QCOMPARE(r.out, QString());
    }

    void failedEncodeKeepsTheOldFile() {
        const QByteArray before = Image({{3, kWorkedRecord}}).toLatin1();
        const QString target = Write("keep.DSX", before);
        const QString csv = Write("bad.csv", Plan({{9, "9,,,0,,,,0,0,,0,0,0"}}).toUtf8());
        QCOMPARE(Run({"encode", csv, "-o", target}).code, 1);
        QCOMPARE(Read(target), before);
    }

    // ---- the radio operations against the simulated RIB (time scaled 1/20) ----

    void readRadio_data() {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<QString>("last"); // status line
        QTest::newRow("a good read saves the radio's block") << QStringList() << "Done";
        QTest::newRow("a bad checksum saves nothing")
            << QStringList{"--bad-checksum", "3"} << "Failed while reading Data";
    }
    void readRadio() {
        QFETCH(QStringList, sim);
        QFETCH(QString, last);
        const QString radio = Image({{1, kWorkedRecord}, {16, "0123456789ABCDEF"}});
        ostrand::RibSimProcess rib(sim +
                                   QStringList{"--load", Write("radio.DSX", radio.toLatin1())});
        const QString out = Path("read.DSX"), log = Path("read.log");
        QFile::remove(out);
        QFile::remove(log);
        const Result r = Run(
            {"read", "-o", out, "--device", rib.Device(), "--time-scale", "0.05", "--log", log});
        const bool ok = last == "Done";
        QCOMPARE(r.code, ok ? 0 : 1);
        QCOMPARE(r.out.split('\n', Qt::SkipEmptyParts).mid(0, 4),
                 (QStringList{"Searching for RIB...", "Found RIB", "Delta-SX Firmware",
                              "Software Revision 1"}));
        QCOMPARE(r.out.split('\n', Qt::SkipEmptyParts).last(), last);
        QCOMPARE(r.err, ok ? QString() : QString("ostrand-cli: Read Radio failed\n"));
        QCOMPARE(QString::fromLatin1(Read(out)), ok ? radio : QString());
        // The debug log: "hh:mm:ss : text" lines ending in CR LF.
        const QString logText = QString::fromLocal8Bit(Read(log));
        QVERIFY2(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d : mdRead: Entered\r\n")
                     .match(logText)
                     .hasMatch(),
                 qPrintable(logText.left(80)));
        QVERIFY(logText.endsWith(" : cmdRead: Exiting\r\n"));
    }

    void writeRadio_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("error");
        QTest::newRow("Delta-S file to a Delta-S radio: no question")
            << QStringList{"--cpu", "16"} << 0 << "Verify OK!"
            << "";
        QTest::newRow("Delta-SX file to a Delta-S radio: refused by default")
            << QStringList() << 1 << "No (--yes-cpu-mismatch writes it anyway)"
            << "ostrand-cli: not written: the radio's CPU type differs from the file's (--cpu); "
               "--yes-cpu-mismatch writes it anyway\n";
        QTest::newRow("Delta-SX file to a Delta-S radio: written when told")
            << QStringList{"--yes-cpu-mismatch"} << 0 << "Verify OK!"
            << "";
    }
    void writeRadio() {
        QFETCH(QStringList, options);
        QFETCH(int, status);
        const QString before = Image({}, "5A");
        const QString saved = Path("saved.DSX");
        QFile::remove(saved);
        ostrand::RibSimProcess rib({"--cpu", "0x10", "--revision", "2", "--load",
                                    Write("radio.DSX", before.toLatin1()), "--save", saved});
        // Written as the file holds it, whatever the codec would make of it.
        const QString file = Image({{1, kWorkedRecord}, {7, "FFFFFFFFFFFFFFFF"}});
        const Result r = Run(QStringList{"write", Write("plan.DSX", file.toLatin1()), "--device",
                                         rib.Device(), "--time-scale", "0.05"} +
                             options);
        QCOMPARE(r.code, status);
        QTEST(r.err, "error");
        QTEST(r.out.split('\n', Qt::SkipEmptyParts).last(), "last");
        rib.Finish();
        QCOMPARE(QString::fromLatin1(Read(saved)).trimmed(), status == 0 ? file : before);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
