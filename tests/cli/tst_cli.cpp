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

// Three definitions on one 13.2 MHz table: a Delta-SX and a Delta-S one (low injection, IF
// 10.0, multipliers 1), and one whose divider table the file does not define.
const QByteArray kConfig = R"([Serial]
CommPort=1
[RadioDef]
Name1=VHF SX
TxMult1=1
RxMult1=1
IFFreq1=10.0
RefOsc1=13.2
RefIndex1=3
RefTable1=1
RadioID1=17
Injection1=LO
DCGInvertTx1=FALSE
DCGInvertRx1=FALSE
Name2=VHF S
TxMult2=1
RxMult2=1
IFFreq2=10.0
RefOsc2=13.2
RefIndex2=3
RefTable2=1
RadioID2=16
Injection2=LO
Name3=No table
TxMult3=1
RxMult3=1
IFFreq3=10.0
RefOsc3=13.2
RefTable3=5
RadioID3=17
Injection3=LO
[RefTableDef]
Index1Table1=3168
Index2Table1=2640
Index3Table1=2112
Index4Table1=3312
Index5Table1=2760
Index6Table1=2208
Index7Table1=2400
[DCGList]
DCG1=023
DCG2=754
[CGList]
CG1=67.0
CG2=71.9
CG3=74.4
CG4=77.0
CG5=100.0
)";

const QString kWorkedRecord = "43BB08C9A22CA131";
const QString kWorkedLine = "1,155.3625,160.0000,3,6.250kHz,023,100.0,1,2,60 Sec,0,1,1,0";

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
    QString out;
    QString err;
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
    Result Run(QStringList args, bool withConfig = true) {
        for (QString& a : args)
            a.replace("%D", dir_.path());
        if (withConfig && !args.contains("--config")) args << "--config" << Path("Ostrand.ini");
        QProcess p;
        p.setProgram(qEnvironmentVariable("OSTRAND_BINARY_DIR") + "/ostrand-cli");
        p.setArguments(args);
        p.start();
        Result r;
        if (!p.waitForStarted(5000) || !p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished(1000);
            return r;
        }
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    static QString LineOf(const QString& out, int channel) {
        const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        return channel < lines.size() ? lines.at(channel) : QString();
    }

    static void ExpectGrid(const Result& r) {
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 17);
        QCOMPARE(lines.first(), kHeader);
        for (int c = 1; c <= 16; ++c)
            QVERIFY2(lines.at(c).startsWith(QString::number(c) + ","), qPrintable(lines.at(c)));
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        Write("Ostrand.ini", kConfig);
        Write("nodefs.ini", "[Serial]\nCommPort=1\n");
        Write("worked.DSX", Image({{1, kWorkedRecord}}).toLatin1());
        Write("deltas.DS", Image({{1, "63BB0850502CA131"}}).toLatin1());
        Write("erased.DSX", Image({}, "FF").toLatin1());
        Write("empty.DSX", "");
        Write("short.DSX", Image().left(255).toLatin1());
    }

    // ---- decode: the rows the window's grid shows for a file ----

    void decodeShowsTheGrid_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("expected");

        QTest::newRow("worked example record, Delta-SX layout")
            << "worked.DSX" << QStringList() << 1 << kWorkedLine;
        QTest::newRow("all-zero record: no frequencies or tones, STE on, reference 0")
            << "worked.DSX" << QStringList() << 2 << "2,,,0,4.167/6.250kHz,,,1,0,Off,0,0,0,0";
        QTest::newRow("channel 16 comes from record 120")
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
        QTest::newRow("Rx Mult. 2 doubles the synthesizer before the IF")
            << "worked.DSX" << QStringList{"--rx-mult", "2"} << 1
            << "1,155.3625,310.0000,3,6.250kHz,023,100.0,1,2,60 Sec,0,1,1,0";
        QTest::newRow("IF override moves Rx only")
            << "worked.DSX" << QStringList{"--if-freq", "21.4"} << 1
            << "1,155.3625,171.4000,3,6.250kHz,023,100.0,1,2,60 Sec,0,1,1,0";
        QTest::newRow("Ref. Freq. override rescales frequencies and item texts")
            << "worked.DSX" << QStringList{"--ref-freq", "12.8"} << 1
            << "1,150.6545,155.4545,3,6.061kHz,023,100.0,1,2,60 Sec,0,1,1,0";
        QTest::newRow("Tx invert reads the stored word inverted")
            << "worked.DSX" << QStringList{"--invert-tx", "on"} << 1
            << "1,155.3625,160.0000,3,6.250kHz,754,100.0,1,2,60 Sec,0,1,1,0";
        QTest::newRow("--cpu 17 reads a Delta-S band's file in the Delta-SX layout")
            << "worked.DSX" << QStringList{"--band", "2", "--cpu", "17"} << 1 << kWorkedLine;
        QTest::newRow("a table the configuration lacks: no frequencies, items Disabled")
            << "worked.DSX" << QStringList{"--band", "3"} << 1
            << "1,,,3,Disabled,023,100.0,1,2,60 Sec,0,1,1,0";
    }
    void decodeShowsTheGrid() {
        QFETCH(QString, file);
        QFETCH(QStringList, options);
        QFETCH(int, channel);
        QFETCH(QString, expected);
        const Result r = Run(QStringList{"decode", Path(file)} + options);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err, QString());
        ExpectGrid(r);
        QCOMPARE(LineOf(r.out, channel), expected);
    }

    // ---- encode: typed plans normalised as the grid normalises them ----

    void encodeNormalises_data() {
        QTest::addColumn<QString>("plan");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("expected"); // channel 1 as stored
        QTest::addColumn<QString>("record");   // channel 1's record, when checked

        const auto row1 = [](const QString& line) { return Plan({{1, line}}); };
        const QString tail = ",1,2,,0,1,1,0";
        QTest::newRow("worked example typed: 23 becomes 023, 160 gets four decimals")
            << row1("1,155.3625,160,3,,23,100.0" + tail) << QStringList() << kWorkedLine
            << kWorkedRecord;
        QTest::newRow("DCG 340 is stored and shown as its listed code 023")
            << row1("1,155.3625,160,3,,340,100.0" + tail) << QStringList() << kWorkedLine
            << kWorkedRecord;
        QTest::newRow("DCG 766 shows 023 as well") << row1("1,155.3625,160,3,,766,100.0" + tail)
                                                   << QStringList() << kWorkedLine << kWorkedRecord;
        QTest::newRow("DCG 203 and 76 show 754")
            << row1("1,155.3625,160,3,,203,76" + tail) << QStringList()
            << "1,155.3625,160.0000,3,6.250kHz,754,754,1,2,60 Sec,0,1,1,0"
            << "";
        QTest::newRow("047 has no listed family member and stays 047")
            << row1("1,155.3625,160,3,,047,100.0" + tail) << QStringList()
            << "1,155.3625,160.0000,3,6.250kHz,047,100.0,1,2,60 Sec,0,1,1,0"
            << "";
        QTest::newRow("67 without a point is DCG 067, not a CG tone")
            << row1("1,155.3625,160,3,,67,100.0" + tail) << QStringList()
            << "1,155.3625,160.0000,3,6.250kHz,067,100.0,1,2,60 Sec,0,1,1,0"
            << "";
        QTest::newRow("131.8 with a point is a CG tone, shown as the generator makes it")
            << row1("1,155.3625,160,3,,,131.8" + tail) << QStringList()
            << "1,155.3625,160.0000,3,6.250kHz,,131.6,1,2,60 Sec,0,1,1,0"
            << "";
        QTest::newRow("777 has no storable family member: no tone")
            << row1("1,155.3625,160,3,,777,100.0" + tail) << QStringList()
            << "1,155.3625,160.0000,3,6.250kHz,,100.0,1,2,60 Sec,0,1,1,0"
            << "";
        QTest::newRow("Rx invert: 023 is stored inverted and still shows 023")
            << row1("1,155.3625,160,3,,,023" + tail) << QStringList{"--invert-rx", "on"}
            << "1,155.3625,160.0000,3,6.250kHz,,023,1,2,60 Sec,0,1,1,0"
            << "";
        QTest::newRow("Rx invert: 047 reads back as 754")
            << row1("1,155.3625,160,3,,,047" + tail) << QStringList{"--invert-rx", "on"}
            << "1,155.3625,160.0000,3,6.250kHz,,754,1,2,60 Sec,0,1,1,0"
            << "";
        QTest::newRow("Delta-S layout: CG list position, STE off, timer 5, W/Z ignored")
            << row1("1,155.3625,160,3,,23,100.0,0,5,,1,1,1,1") << QStringList{"--band", "2"}
            << "1,155.3625,160.0000,3,6.250kHz,023,100.0,0,5,90 Sec,0,0,0,0"
            << "63BB0850502CA131";
        QTest::newRow("blanks and trailing zeros in a frequency")
            << row1("1, 155.36250 ,160.00,3,,23,100.0" + tail) << QStringList() << kWorkedLine
            << kWorkedRecord;
        QTest::newRow("quoted fields, a comma and a quote in ignored item texts")
            << row1("\"1\",\"155.3625\",\"160\",3,\"a, b\",\"23\",\"100.0\",1,2,\"x\"\"y\","
                    "0,1,1,0")
            << QStringList() << kWorkedLine << kWorkedRecord;
        QTest::newRow("a reference position with no divider stores no frequency")
            << row1("1,155.3625,160,3,,23,100.0" + tail) << QStringList{"--band", "3"}
            << "1,,,3,Disabled,023,100.0,1,2,60 Sec,0,1,1,0"
            << "";
        QTest::newRow("an empty row")
            << Plan() << QStringList() << "1,,,0,4.167/6.250kHz,,,0,0,Off,0,0,0,0"
            << "";

        QString reversed;
        const QStringList lines =
            Plan({{1, "1,155.3625,160,3,,23,100.0" + tail}}).split('\n', Qt::SkipEmptyParts);
        for (int i = lines.size() - 1; i >= 1; --i)
            reversed += lines.at(i) + "\r\n";
        QTest::newRow("no header, channels in any order, CR LF line ends")
            << reversed << QStringList() << kWorkedLine << kWorkedRecord;
        QTest::newRow("comment and blank lines are skipped")
            << "# channel plan\n\n" + Plan({{1, "1,155.3625,160,3,,23,100.0" + tail}}) + "\n  \n"
            << QStringList() << kWorkedLine << kWorkedRecord;
    }
    void encodeNormalises() {
        QFETCH(QString, plan);
        QFETCH(QStringList, options);
        QFETCH(QString, expected);
        QFETCH(QString, record);
        const QString csv = Write("plan.csv", plan.toUtf8());
        const QString out = Path("encoded.DSX");
        QFile::remove(out);

        const Result r = Run(QStringList{"encode", csv, "-o", out} + options);
        QCOMPARE(r.code, 0);
        ExpectGrid(r);
        QCOMPARE(LineOf(r.out, 1), expected);

        const QByteArray digits = Read(out);
        QCOMPARE(digits.size(), 256);
        QVERIFY(
            QRegularExpression("^[0-9A-F]{256}$").match(QString::fromLatin1(digits)).hasMatch());
        if (!record.isEmpty())
            QCOMPARE(QString::fromLatin1(digits.mid(RecordIndex(1) * 2, 16)),
                     QString(record).remove(' '));

        // What encode printed is exactly what the file decodes to.
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

    // ---- every error: one line on stderr, a non-zero status, nothing written ----

    void errorsWriteNothing_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("plan"); // written to %D/bad.csv when not empty
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");

        const QString out = "%D/never.DSX";
        const auto encode = [&](const QStringList& extra = {}) {
            return QStringList{"encode", "%D/bad.csv", "-o", out} + extra;
        };
        const QString ok = "1,155.3625,160,3,,23,100.0,1,2,,0,1,1,0";
        const QStringList decode{"decode", "%D/worked.DSX"};

        QTest::newRow("unknown option")
            << decode + QStringList{"--bogus"} << "" << 2 << "Unknown option 'bogus'";
        QTest::newRow("unknown command")
            << QStringList{"frobnicate"} << "" << 2 << "unknown command \"frobnicate\"";
        QTest::newRow("decode without a file")
            << QStringList{"decode"} << "" << 2 << "decode wants one FILE argument";
        QTest::newRow("decode with two files")
            << decode + QStringList{"%D/worked.DSX"} << "" << 2 << "decode wants one FILE argument";
        QTest::newRow("read takes no file")
            << QStringList{"read", "x", "-o", out} << "" << 2 << "read takes no file argument";
        QTest::newRow("missing personality file")
            << QStringList{"decode", "%D/none.DSX"} << "" << 1 << "none.DSX: no such file";
        QTest::newRow("a folder as personality file")
            << QStringList{"decode", "%D"} << "" << 1 << "not a file";
        QTest::newRow("empty personality file")
            << QStringList{"decode", "%D/empty.DSX"} << "" << 1 << "empty.DSX is empty";
        QTest::newRow("255 digits")
            << QStringList{"decode", "%D/short.DSX"} << "" << 1 << "short.DSX: Invalid Input File";
        QTest::newRow("band 0") << decode + QStringList{"--band", "0"} << "" << 2
                                << "--band 0 is out of range";
        QTest::newRow("band beyond the definitions")
            << decode + QStringList{"--band", "4"} << "" << 2
            << "--band 4 is out of range: the configuration holds 3 definitions";
        QTest::newRow("band not a number") << decode + QStringList{"--band", "two"} << "" << 2
                                           << "--band wants a definition number";
        QTest::newRow("configuration without definitions")
            << decode + QStringList{"--config", "%D/nodefs.ini"} << "" << 1
            << "holds no radio definitions";
        QTest::newRow("missing configuration") << decode + QStringList{"--config", "%D/none.ini"}
                                               << "" << 1 << "cannot read the configuration";
        QTest::newRow("cpu 18") << decode + QStringList{"--cpu", "18"} << "" << 2
                                << "--cpu wants 16 or 17";
        QTest::newRow("two-digit multiplier") << decode + QStringList{"--rx-mult", "12"} << "" << 2
                                              << "--rx-mult wants a digit 1 to 9";
        QTest::newRow("multiplier 0") << decode + QStringList{"--tx-mult", "0"} << "" << 2
                                      << "--tx-mult wants a digit 1 to 9";
        QTest::newRow("Ref. Freq. not a number")
            << decode + QStringList{"--ref-freq", "abc"} << "" << 2 << "--ref-freq wants a number";
        QTest::newRow("IF longer than its field")
            << decode + QStringList{"--if-freq", "10.75"} << "" << 2 << "--if-freq wants a number";
        QTest::newRow("injection side")
            << decode + QStringList{"--injection", "up"} << "" << 2 << "--injection wants hi or lo";
        QTest::newRow("invert value") << decode + QStringList{"--invert-tx", "yes"} << "" << 2
                                      << "--invert-tx wants on or off";
        QTest::newRow("encode without -o") << QStringList{"encode", "%D/bad.csv"} << Plan() << 2
                                           << "encode wants the file to write: -o FILE";
        QTest::newRow("read without -o")
            << QStringList{"read"} << "" << 2 << "read wants the file to write: -o FILE";
        QTest::newRow("missing plan") << QStringList{"encode", "%D/none.csv", "-o", out} << "" << 1
                                      << "none.csv: no such file";
        QTest::newRow("a line with 13 fields")
            << encode() << Plan({{2, "2,,,0,,,,0,0,,0,0,0"}}) << 1
            << "bad.csv: line 3: 14 fields expected, found 13";
        QTest::newRow("channel 17") << encode() << Plan() + "17,,,0,,,,0,0,,0,0,0,0\n"
                                    << 1 << "line 18: Channel must be 1 to 16, not \"17\"";
        QTest::newRow("a channel twice") << encode() << Plan() + "2,,,0,,,,0,0,,0,0,0,0\n"
                                         << 1 << "line 18: channel 2 is already given on line 3";
        QTest::newRow("a channel missing")
            << encode() << Plan().section('\n', 0, 15) + "\n"
            << 1 << "channel 16 missing: the plan must give all 16 channels";
        QTest::newRow("reference position 8") << encode() << Plan({{1, "1,,,8,,,,0,0,,0,0,0,0"}})
                                              << 1 << "line 2: PLL Ref. Position must be 0 to 7";
        QTest::newRow("timer position 8 in the Delta-SX list")
            << encode() << Plan({{1, "1,,,0,,,,0,8,,0,0,0,0"}}) << 1
            << "line 2: CCT Position must be 0 to 7";
        QTest::newRow("timer position 16 in the Delta-S list")
            << encode({"--band", "2"}) << Plan({{1, "1,,,0,,,,0,16,,0,0,0,0"}}) << 1
            << "line 2: CCT Position must be 0 to 15";
        QTest::newRow("unterminated quote")
            << encode() << Plan({{3, "3,\"155.3625,,0,,,,0,0,,0,0,0,0"}}) << 1
            << "line 4: a quoted field has no closing quote";
        QTest::newRow("text after a closing quote")
            << encode() << Plan({{3, "3,\"155\"x,,0,,,,0,0,,0,0,0,0"}}) << 1
            << "line 4: text after a closing quote";
        QTest::newRow("frequency that is no number")
            << encode() << Plan({{1, "1,15x.5,,0,,,,0,0,,0,0,0,0"}}) << 1
            << "Tx Freq. \"15x.5\" is not a frequency";
        QTest::newRow("frequency longer than its field")
            << encode() << Plan({{1, "1,,155.362500,0,,,,0,0,,0,0,0,0"}}) << 1
            << "Rx Freq. \"155.362500\" is longer than 9 characters";
        QTest::newRow("9 is no octal digit") << encode() << Plan({{1, "1,,,0,,9,,0,0,,0,0,0,0"}})
                                             << 1 << "Tx CG/DCG \"9\" is neither a CG tone";
        QTest::newRow("tone longer than its field")
            << encode() << Plan({{1, "1,,,0,,,123.45,0,0,,0,0,0,0"}}) << 1
            << "Rx CG/DCG \"123.45\" is longer than 5 characters";
        QTest::newRow("box value 2") << encode() << Plan({{1, "1,,,0,,,,2,0,,0,0,0,0"}}) << 1
                                     << "line 2: STE must be 0 or 1, not \"2\"";
        QTest::newRow("a header that is not the header")
            << encode() << "Channel,Rx Freq.,Tx Freq.\n" + Plan().section('\n', 1) << 1
            << "line 1: the header line must read";
        QTest::newRow("a header after the first line")
            << encode() << Plan() + kHeader + "\n"
            << 1 << "line 18: a header line is only allowed first";
        QTest::newRow("encode into a missing folder")
            << QStringList{"encode", "%D/bad.csv", "-o", "%D/no/such/dir/x.DSX"} << Plan() << 1
            << "cannot write";
        QTest::newRow("read into a missing folder")
            << QStringList{"read", "-o", "%D/no/such/dir/x.DSX"} << "" << 1 << "no such folder";
        QTest::newRow("read on a device that does not exist")
            << QStringList{"read", "-o", out, "--device", "%D/ttyNONE", "--time-scale", "0.01"}
            << "" << 1 << "Read Radio failed";
        QTest::newRow("write of a missing file")
            << QStringList{"write", "%D/none.DSX", "--device", "%D/ttyNONE"} << "" << 1
            << "none.DSX: no such file";
    }
    void errorsWriteNothing() {
        QFETCH(QStringList, args);
        QFETCH(QString, plan);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFile::remove(Path("never.DSX"));
        if (!plan.isEmpty()) Write("bad.csv", plan.toUtf8());

        const Result r = Run(args);
        QCOMPARE(r.code, status);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY2(r.err.startsWith("ostrand-cli: "), qPrintable(r.err));
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(!QFile::exists(Path("never.DSX")));
        QVERIFY(!QDir(Path("no")).exists());
        if (args.first() != "read") QCOMPARE(r.out, QString());
    }

    void failedEncodeKeepsTheOldFile() {
        const QByteArray before = Image({{3, kWorkedRecord}}).toLatin1();
        const QString target = Write("keep.DSX", before);
        const QString csv = Write("bad.csv", Plan({{9, "9,,,0,,,,0,0,,0,0,0"}}).toUtf8());
        const Result r = Run({"encode", csv, "-o", target});
        QCOMPARE(r.code, 1);
        QCOMPARE(Read(target), before);
    }

    void helpPerCommand_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("decode") << "decode"
                                << "--invert-rx";
        QTest::newRow("encode has -o") << "encode"
                                       << "--output";
        QTest::newRow("read has -o") << "read"
                                     << "--output";
        QTest::newRow("write has the CPU answer") << "write"
                                                  << "--yes-cpu-mismatch";
    }
    void helpPerCommand() {
        QFETCH(QString, command);
        QFETCH(QString, mentions);
        const Result r = Run({command, "--help"}, false);
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.startsWith("Usage: ostrand-cli " + command));
        QVERIFY(r.out.contains(mentions));
        QVERIFY(!r.out.contains("--time-scale"));
    }

    // ---- the radio operations against the simulated RIB (time scaled 1/20) ----

    void readRadio_data() {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("shown"); // status lines, in order
        QTest::newRow("a good read saves the radio's block")
            << QStringList() << 0
            << QStringList{"Searching for RIB...", "Found RIB",   "Delta-SX Firmware",
                           "Software Revision 1",  "SID sent OK", "RRD sent OK",
                           "Data was Read OK",     "Done"};
        QTest::newRow("no RIB") << QStringList{"--silent", "all"} << 1
                                << QStringList{"Searching for RIB...", "RIB not found"};
        QTest::newRow("a record with a bad checksum")
            << QStringList{"--bad-checksum", "3"} << 1
            << QStringList{"RRD sent OK", "Failed while reading Data"};
        QTest::newRow("unknown firmware revision")
            << QStringList{"--revision", "3"} << 1
            << QStringList{"Delta-SX Firmware", "Software Revision 3 is unknown"};
    }
    void readRadio() {
        QFETCH(QStringList, sim);
        QFETCH(int, status);
        QFETCH(QStringList, shown);
        const QString radio = Image({{1, kWorkedRecord}, {16, "0123456789ABCDEF"}});
        ostrand::RibSimProcess rib(sim +
                                   QStringList{"--load", Write("radio.DSX", radio.toLatin1())});
        QVERIFY(!rib.Device().isEmpty());
        const QString out = Path("read.DSX");
        const QString log = Path("read.log");
        QFile::remove(out);
        QFile::remove(log);

        const Result r = Run(
            {"read", "-o", out, "--device", rib.Device(), "--time-scale", "0.05", "--log", log});
        QCOMPARE(r.code, status);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        int from = 0;
        for (const QString& s : shown) {
            from = int(lines.indexOf(s, from));
            QVERIFY2(from >= 0, qPrintable(s + " not shown in order: " + r.out));
        }
        if (status == 0) {
            QCOMPARE(r.err, QString());
            QCOMPARE(QString::fromLatin1(Read(out)), radio);
        } else {
            QCOMPARE(r.err, QString("ostrand-cli: Read Radio failed\n"));
            QVERIFY(!QFile::exists(out));
        }
        // The debug log: "hh:mm:ss : text" lines ending in CR LF (a quoted received text
        // may hold line ends of its own), from the first to the last line of the read.
        const QString logText = QString::fromLocal8Bit(Read(log));
        QVERIFY(logText.endsWith("\r\n"));
        const QRegularExpression stamp("^\\d\\d:\\d\\d:\\d\\d : (.*)$",
                                       QRegularExpression::MultilineOption);
        QStringList logLines;
        for (auto it = stamp.globalMatch(logText); it.hasNext();)
            logLines << it.next().captured(1).trimmed();
        QVERIFY(logLines.size() >= 3);
        QCOMPARE(logLines.first(), QString("mdRead: Entered"));
        QCOMPARE(logLines.last(), QString("cmdRead: Exiting"));
    }

    void writeRadio_data() {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("sent"); // the block reached the RIB
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("error");

        QTest::newRow("a good write is verified")
            << QStringList() << QStringList() << 0 << true << "Verify OK!"
            << "";
        QTest::newRow("the compare finds a difference")
            << QStringList{"--compare-differ"} << QStringList() << 1 << true << "Verify failed"
            << "ostrand-cli: Write Radio failed\n";
        QTest::newRow("Delta-S radio, Delta-SX file: refused by default")
            << QStringList{"--cpu", "0x10", "--revision", "2"} << QStringList() << 1 << false
            << "No (--yes-cpu-mismatch writes it anyway)"
            << "ostrand-cli: not written: the radio's CPU type differs from the file's (--cpu); "
               "--yes-cpu-mismatch writes it anyway\n";
        QTest::newRow("Delta-S radio, Delta-SX file: written when told")
            << QStringList{"--cpu", "0x10", "--revision", "2"} << QStringList{"--yes-cpu-mismatch"}
            << 0 << true << "Verify OK!"
            << "";
        QTest::newRow("Delta-S radio and --cpu 16: no question")
            << QStringList{"--cpu", "0x10", "--revision", "2"} << QStringList{"--cpu", "16"} << 0
            << true << "Verify OK!"
            << "";
    }
    void writeRadio() {
        QFETCH(QStringList, sim);
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(bool, sent);
        QFETCH(QString, last);
        QFETCH(QString, error);
        const QString before = Image({}, "5A");
        const QString saved = Path("saved.DSX");
        QFile::remove(saved);
        ostrand::RibSimProcess rib(
            sim + QStringList{"--load", Write("radio.DSX", before.toLatin1()), "--save", saved});
        QVERIFY(!rib.Device().isEmpty());
        // Written as the file holds it, whatever the codec would make of it.
        const QString file = Image({{1, kWorkedRecord}, {7, "FFFFFFFFFFFFFFFF"}});

        const Result r = Run(QStringList{"write", Write("plan.DSX", file.toLatin1()), "--device",
                                         rib.Device(), "--time-scale", "0.05"} +
                             options);
        QCOMPARE(r.code, status);
        QCOMPARE(r.err, error);
        QCOMPARE(r.out.split('\n', Qt::SkipEmptyParts).last(), last);
        rib.Finish(); // also collects everything it reported receiving
        QCOMPARE(rib.Count("IIT") > 0, sent);
        QCOMPARE(QString::fromLatin1(Read(saved)).trimmed(), sent ? file : before);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
