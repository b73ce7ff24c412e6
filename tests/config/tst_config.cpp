#include "config/Configuration.h"

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
    // "def": every field of definition 1, in declaration order.
    const RadioDefinition& d = cfg.Definition(1);
    return joined(QList<double>{d.EnforceHi, d.EnforceLo, double(d.Injection), double(d.TxMult),
                                double(d.RxMult), d.IFFreq, d.RefOsc, double(d.RefIndex),
                                double(d.RefTable)}) +
           ' ' + d.DefaultExt + ' ' + joined(QList<int>{d.DCGInvertTx, d.DCGInvertRx, d.RadioID});
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
        // Definition 1: EnforceHi EnforceLo Injection TxMult RxMult IFFreq RefOsc RefIndex
        // RefTable DefaultExt DCGInvertTx DCGInvertRx RadioID.
        row("absent keys take their defaults", def, "def", "0 0 0 0 0 0 13.2 0 1 D 0 0 17");
        row("every key read into its own field",
            def + "EnforceHi1=174\nEnforceLo1=136\nInjection1=hi\nTxMult1=3\nRxMult1=4\n"
                  "IFFreq1=45.5\nRefOsc1=14.4\nRefIndex1=5\nRefTable1=2\nDefaultExt1=DSX\n"
                  "DCGInvertTx1=True\nDCGInvertRx1=true\nRadioID1=16.6\n",
            "def", "174 136 1 3 4 45.5 14.4 5 2 DSX 1 1 17");
        row("HIGH, 1, out-of-range and non-numbers",
            def + "Injection1=HIGH\nRxMult1=300\nDCGInvertTx1=1\nRadioID1=SX\n", "def",
            "0 0 0 0 255 0 13.2 0 1 D 0 0 0");
        // Divider tables.
        const QByteArray three = "[RefTableDef]\n" + numberedLines("Index1Table", 1, 2, "5") +
                                 "Index2Table3=7\nIndex1Table4=9\n";
        row("tables before a missing Index1 loaded", three, "table 2", "0 5 0 0 0 0 0 0");
        row("Index1Table3 absent stops the tables", three, "table 3", "0 0 0 0 0 0 0 0");
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
        row("RefTable 11", def + "RefTable1=11" + tables, "tableFor 1", "0 0 0 0 0 0 0 0");
        row("definition beyond the count", def + tables, "tableFor 2", "0 0 0 0 0 0 0 0");
        row("negative definition", def + tables, "tableFor -1", "0 0 0 0 0 0 0 0");
        // DCG and CG lists: count, first and last entry.
        row("DCG 023 025", "[DCGList]\nDCG1=023\nDCG2=025\n", "dcg", "2 19 21");
        row("CG 67.0 71.9", "[CGList]\nCG1=67.0\nCG2=71.9\n", "cg", "2 67 71.9");
        row("DCG list ends at the first missing number", "[DCGList]\nDCG1=754\nDCG3=025\n", "dcg",
            "1 492 492");
        row("CG list ends at an empty value", "[CGList]\nCG1=67.0\nCG2=\nCG3=1\n", "cg", "1 67 67");
        row("non-octal DCG reads 0 but counts", "[DCGList]\nDCG1=abc\nDCG2=89\n", "dcg", "2 0 0");
        row("at most 99 DCG entries", "[DCGList]\n" + numberedLines("DCG", 1, 120, "023"), "dcg",
            "99 19 19");
        row("at most 50 CG entries", "[CGList]\n" + numberedLines("CG", 1, 60, "100.0"), "cg",
            "50 100 100");
        // The serial port: CommPort and the Device that takes precedence over it.
        row("CommPort absent", "[Serial]\n", "serial", "1 /dev/ttyS0");
        row("CommPort 0 is the first port", "[Serial]\nCommPort=0\n", "serial", "0 /dev/ttyS0");
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

    // A reload replaces names, counts and the fields of listed definitions; a missing file leaves
    // nothing.
    void reloadReplacesWhatItReads() {
        Configuration cfg = load("[Serial]\nCommPort=9\n[RadioDef]\nName1=A\nTxMult1=3\nName2=B\n"
                                 "[DCGList]\nDCG1=023\nDCG2=025\n");
        LoadConfiguration(write("[RadioDef]\nName1=X\n[DCGList]\nDCG1=754\n"), cfg);
        QCOMPARE(cfg.Names, QStringList{"X"});
        QCOMPARE(int(cfg.Definition(1).TxMult), 0);
        QCOMPARE(probe(cfg, "dcg"), QStringLiteral("1 492 492"));
        LoadConfiguration(m_dir.filePath(QStringLiteral("absent.ini")), cfg);
        QCOMPARE(probe(cfg, "serial"), QStringLiteral("1 /dev/ttyS0"));
        QVERIFY(cfg.Names.isEmpty());
        QCOMPARE(int(cfg.DCGCount), 0);
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
