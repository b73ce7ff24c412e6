#include "config/Configuration.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ostrand;

namespace {

// Numbered keys such as "DCG1=023" for k = from..to.
QByteArray numberedLines(const char* stem, int from, int to, const QByteArray& value) {
    QByteArray out;
    for (int k = from; k <= to; ++k)
        out += stem + QByteArray::number(k) + '=' + value + '\n';
    return out;
}

template <typename Seq> QString joined(const Seq& values) {
    QStringList parts;
    for (auto v : values)
        parts << QString::number(v);
    return parts.join(u' ');
}

// One aspect of a loaded configuration as text: "count", "serial", "dcg" and "cg" (count, first
// and last entry), "table i" and "tableFor d" (dividers 0..7), or a field of definition 1.
QString probe(const Configuration& cfg, const QString& what) {
    const QStringList w = what.split(u' ');
    const int dcg = cfg.DCGCount, cg = cfg.CGCount;
    if (what == "count") return QString::number(cfg.DefinitionCount());
    if (what == "serial") return QString::number(cfg.CommPort) + ' ' + cfg.SerialDevice();
    if (what == "dcg") return joined(QList<int>{dcg, cfg.DCGList[1], cfg.DCGList[qMax(dcg, 1)]});
    if (what == "cg")
        return joined(QList<float>{float(cg), cfg.CGList[1], cfg.CGList[qMax(cg, 1)]});
    if (w[0] == "table") return joined(cfg.RefTables[w[1].toUInt()]);
    if (w[0] == "tableFor") return joined(cfg.TableFor(w[1].toInt()));
    const RadioDefinition& d = cfg.Definition(1);
    const auto n = [](double v) { return QString::number(v); };
    const auto b = [](bool v) { return QString(v ? "true" : "false"); };
    const QHash<QString, QString> fields{
        {"EnforceHi", n(d.EnforceHi)},     {"EnforceLo", n(d.EnforceLo)},
        {"Injection", b(d.Injection)},     {"TxMult", n(d.TxMult)},
        {"RxMult", n(d.RxMult)},           {"IFFreq", n(d.IFFreq)},
        {"RefOsc", n(d.RefOsc)},           {"RefIndex", n(d.RefIndex)},
        {"RefTable", n(d.RefTable)},       {"DefaultExt", d.DefaultExt},
        {"DCGInvertTx", b(d.DCGInvertTx)}, {"DCGInvertRx", b(d.DCGInvertRx)},
        {"RadioID", n(d.RadioID)}};
    return fields.value(what, QStringLiteral("<no such probe>"));
}

void row(const char* what, const QByteArray& content, const char* aspect, const char* expected) {
    QTest::newRow(what) << content << QString(aspect) << QString(expected);
}

} // namespace

class TestConfig : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_serial = 0;

    QString write(const QByteArray& content) {
        const QString path = m_dir.filePath(QStringLiteral("c%1.ini").arg(++m_serial));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size()) return {};
        return path;
    }

    Configuration load(const QByteArray& content) {
        Configuration cfg;
        LoadConfiguration(write(content), cfg);
        return cfg;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void loads_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("aspect");
        QTest::addColumn<QString>("expected");
        const QByteArray def = "[RadioDef]\nName1=A\n";
        row("Name1 absent loads nothing", "[RadioDef]\nName2=B\nTxMult1=3\n", "count", "0");
        row("list ends at the first missing number", def + "Name2=B\nName4=D\n", "count", "2");
        row("empty name ends the list", def + "Name2=\nName3=C\n", "count", "1");
        row("at most 50 definitions", "[RadioDef]\n" + numberedLines("Name", 1, 60, "R"), "count",
            "50");
        // One key of definition 1; absent keys take their defaults.
        row("Injection hi", def + "Injection1=hi", "Injection", "true");
        row("Injection HIGH is low side", def + "Injection1=HIGH", "Injection", "false");
        row("DCGInvertRx true", def + "DCGInvertRx1=true", "DCGInvertRx", "true");
        row("DCGInvertRx 1 is false", def + "DCGInvertRx1=1", "DCGInvertRx", "false");
        row("DCGInvertTx True", def + "DCGInvertTx1=True", "DCGInvertTx", "true");
        row("RefTable absent uses table 1", def, "RefTable", "1");
        row("RefOsc absent is 13.2", def, "RefOsc", "13.2");
        row("IFFreq absent is 0", def, "IFFreq", "0");
        row("IFFreq", def + "IFFreq1=45.5", "IFFreq", "45.5");
        row("EnforceHi", def + "EnforceHi1=174", "EnforceHi", "174");
        row("EnforceLo", def + "EnforceLo1=136", "EnforceLo", "136");
        row("TxMult", def + "TxMult1=3", "TxMult", "3");
        row("RxMult above 255 clamps", def + "RxMult1=300", "RxMult", "255");
        row("RefIndex", def + "RefIndex1=4", "RefIndex", "4");
        row("DefaultExt absent is D", def, "DefaultExt", "D");
        row("DefaultExt", def + "DefaultExt1=DSX", "DefaultExt", "DSX");
        row("RadioID absent is 17", def, "RadioID", "17");
        row("RadioID rounds to nearest", def + "RadioID1=16.6", "RadioID", "17");
        row("RadioID not a number is 0", def + "RadioID1=SX", "RadioID", "0");
        row("RadioID clamps to int16", def + "RadioID1=99999", "RadioID", "32767");
        // Divider tables.
        const QByteArray three = "[RefTableDef]\n" + numberedLines("Index1Table", 1, 2, "5") +
                                 "Index2Table3=7\nIndex1Table4=9\n";
        row("tables before a missing Index1 loaded", three, "table 2", "0 5 0 0 0 0 0 0");
        row("Index1Table3 absent stops the tables", three, "table 3", "0 0 0 0 0 0 0 0");
        row("nothing after the stop", three, "table 4", "0 0 0 0 0 0 0 0");
        row("Index5Table1 absent gives 0",
            "[RefTableDef]\nIndex1Table1=3168\nIndex2Table1=2640\nIndex3Table1=2112\n"
            "Index4Table1=3312\nIndex6Table1=2208\nIndex7Table1=2400\n",
            "table 1", "0 3168 2640 2112 3312 0 2208 2400");
        row("entries clamp to int16", "[RefTableDef]\nIndex1Table1=70000\nIndex2Table1=-70000",
            "table 1", "0 32767 -32768 0 0 0 0 0");
        row("an eleventh table is not read",
            "[RefTableDef]\n" + numberedLines("Index1Table", 1, 11, "4"), "table 10",
            "0 4 0 0 0 0 0 0");
        // The table a definition uses: all zeros whenever there is none to use. The lists are
        // filled so that a stray read outside the divider tables is not zero.
        const QByteArray tables = "\n[RefTableDef]\nIndex1Table1=3168\nIndex1Table2=1000\n"
                                  "[DCGList]\nDCG1=023\n[CGList]\nCG1=67.0\n";
        row("table 2", def + "RefTable1=2" + tables, "tableFor 1", "0 1000 0 0 0 0 0 0");
        row("RefTable absent", def + tables, "tableFor 1", "0 3168 0 0 0 0 0 0");
        row("RefTable 11", def + "RefTable1=11" + tables, "tableFor 1", "0 0 0 0 0 0 0 0");
        row("undefined table 3", def + "RefTable1=3" + tables, "tableFor 1", "0 0 0 0 0 0 0 0");
        row("definition beyond the count", def + tables, "tableFor 2", "0 0 0 0 0 0 0 0");
        row("negative definition", def + tables, "tableFor -1", "0 0 0 0 0 0 0 0");
        row("definition 51", def + tables, "tableFor 51", "0 0 0 0 0 0 0 0");
        // DCG and CG lists: count, first and last entry.
        row("DCG 023 025", "[DCGList]\nDCG1=023\nDCG2=025\n", "dcg", "2 19 21");
        row("CG 67.0 71.9", "[CGList]\nCG1=67.0\nCG2=71.9\n", "cg", "2 67 71.9");
        row("DCG list ends at the first missing number", "[DCGList]\nDCG1=754\nDCG3=025\n", "dcg",
            "1 492 492");
        row("CG list ends at an empty value", "[CGList]\nCG1=67.0\nCG2=\nCG3=1\n", "cg", "1 67 67");
        row("DCG1 absent: empty list", "[DCGList]\nDCG2=023\n", "dcg", "0 0 0");
        row("non-octal DCG reads 0 but counts", "[DCGList]\nDCG1=abc\nDCG2=89\n", "dcg", "2 0 0");
        row("DCG value clamps to int16", "[DCGList]\nDCG1=7777777\n", "dcg", "1 32767 32767");
        row("at most 99 DCG entries", "[DCGList]\n" + numberedLines("DCG", 1, 120, "023"), "dcg",
            "99 19 19");
        row("at most 50 CG entries", "[CGList]\n" + numberedLines("CG", 1, 60, "100.0"), "cg",
            "50 100 100");
        // The serial port: CommPort and the Device that takes precedence over it.
        row("CommPort absent", "[Serial]\n", "serial", "1 /dev/ttyS0");
        row("CommPort 0 is the first port", "[Serial]\nCommPort=0\n", "serial", "0 /dev/ttyS0");
        row("CommPort clamps to 255", "[Serial]\nCommPort=300\n", "serial", "255 /dev/ttyS254");
        row("Device takes precedence", "[Serial]\nCommPort=2\nDevice = /dev/ttyUSB0 \n", "serial",
            "2 /dev/ttyUSB0");
        row("empty Device ignored", "[Serial]\nCommPort=2\nDevice=\n", "serial", "2 /dev/ttyS1");
    }
    void loads() {
        QFETCH(QByteArray, content);
        QFETCH(QString, aspect);
        QFETCH(QString, expected);
        QCOMPARE(probe(load(content), aspect), expected);
    }

    // Every missing key rescans the section: only the head of a huge file may be read.
    void junkInsideSectionLoadsQuickly() {
        QByteArray junk = "[RadioDef]\nName1=A\nName2=B\nName3=C\n";
        while (junk.size() < 20 * 1024 * 1024)
            junk += "Zz=1\n";
        const QString path = write(junk + "TxMult1=5\n");
        QElapsedTimer clock;
        clock.start();
        Configuration cfg;
        LoadConfiguration(path, cfg);
        QVERIFY2(clock.elapsed() < 20000, "loading took far too long");
        QCOMPARE(cfg.DefinitionCount(), 3);
        QCOMPARE(int(cfg.Definition(1).TxMult), 0); // beyond the read limit
        QCOMPARE(cfg.Definition(3).RefOsc, 13.2f);
    }

    void missingFileResetsCounts() {
        Configuration cfg = load("[Serial]\nCommPort=9\n[RadioDef]\nName1=A\n[DCGList]\nDCG1=1\n");
        LoadConfiguration(m_dir.filePath(QStringLiteral("absent.ini")), cfg);
        QCOMPARE(int(cfg.CommPort), 1);
        QVERIFY(cfg.Names.isEmpty());
        QCOMPARE(int(cfg.DCGCount), 0);
    }

    // A reload replaces names and counts; what lies beyond the new counts stays.
    void reloadKeepsSlotsBeyondCounts() {
        Configuration cfg = load("[RadioDef]\nName1=A\nTxMult1=3\nName2=B\nName3=C\nTxMult3=7\n"
                                 "[RefTableDef]\nIndex1Table1=11\nIndex1Table2=22\n"
                                 "[DCGList]\nDCG1=023\nDCG2=025\nDCG3=026\n"
                                 "[CGList]\nCG1=67.0\nCG2=71.9\n");
        LoadConfiguration(write("[RadioDef]\nName1=X\n[RefTableDef]\nIndex1Table1=33\n"
                                "[DCGList]\nDCG1=754\n[CGList]\nCG1=100.0\n"),
                          cfg);
        QCOMPARE(cfg.Names, QStringList{"X"});
        QCOMPARE(int(cfg.Defs[1].TxMult), 0); // re-read with its default, not kept
        QCOMPARE(int(cfg.Defs[3].TxMult), 7);
        QCOMPARE(cfg.Definition(3).TxMult, uint8_t(0)); // beyond the count: not offered
        QCOMPARE(probe(cfg, "table 2"), QStringLiteral("0 22 0 0 0 0 0 0"));
        QCOMPARE(probe(cfg, "table 1"), QStringLiteral("0 33 0 0 0 0 0 0"));
        QCOMPARE(probe(cfg, "dcg"), QStringLiteral("1 492 492"));
        QCOMPARE(int(cfg.DCGList[3]), 22);
        QCOMPARE(probe(cfg, "cg"), QStringLiteral("1 100 100"));
        QCOMPARE(cfg.CGList[2], 71.9f);
    }

    // The configuration shipped with the program loads completely.
    void shippedConfiguration_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("source copy")
            << qEnvironmentVariable("OSTRAND_SOURCE_DIR") + "/data/Ostrand.ini";
        QTest::newRow("copy beside the program")
            << qEnvironmentVariable("OSTRAND_BINARY_DIR") + "/Ostrand.ini";
    }
    void shippedConfiguration() {
        QFETCH(QString, path);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        Configuration cfg;
        LoadConfiguration(path, cfg);
        QCOMPARE(cfg.Names.mid(0, 3), (QStringList{"VHF Delta-SX", "UHF Delta-SX", "VHF Delta-S"}));
        QCOMPARE(cfg.Definition(1).DefaultExt, QStringLiteral("DSX"));
        QCOMPARE(cfg.Definition(3).RadioID, int16_t(16));
        for (int d = 1; d <= cfg.DefinitionCount(); ++d) {
            const int refIndex = cfg.Definition(d).RefIndex;
            QVERIFY(refIndex >= 1 && refIndex <= 7 && cfg.TableFor(d)[refIndex] != 0);
        }
        QCOMPARE(probe(cfg, "table 1"), QStringLiteral("0 3168 2640 2112 3312 2760 2208 2400"));
        QCOMPARE(probe(cfg, "dcg"), QStringLiteral("99 19 492"));
        QCOMPARE(probe(cfg, "cg"), QStringLiteral("38 67 250.3"));
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
