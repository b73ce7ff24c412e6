#include "config/Configuration.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ostrand;

namespace {

// Builds numbered keys such as "DCG1=023".
QByteArray numberedLines(const char* stem, int from, int to, const QByteArray& value) {
    QByteArray out;
    for (int k = from; k <= to; ++k)
        out += stem + QByteArray::number(k) + '=' + value + '\n';
    return out;
}

QVariant field(const RadioDefinition& d, const QString& name) {
    if (name == "EnforceHi") return d.EnforceHi;
    if (name == "EnforceLo") return d.EnforceLo;
    if (name == "Injection") return d.Injection;
    if (name == "TxMult") return int(d.TxMult);
    if (name == "RxMult") return int(d.RxMult);
    if (name == "IFFreq") return d.IFFreq;
    if (name == "RefOsc") return d.RefOsc;
    if (name == "RefIndex") return int(d.RefIndex);
    if (name == "RefTable") return int(d.RefTable);
    if (name == "DefaultExt") return d.DefaultExt;
    if (name == "DCGInvertTx") return d.DCGInvertTx;
    if (name == "DCGInvertRx") return d.DCGInvertRx;
    if (name == "RadioID") return int(d.RadioID);
    return {};
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

    // Which definitions the band list gets.
    void definitionList_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("Name1 absent loads nothing")
            << QByteArray("[RadioDef]\nName2=B\nTxMult1=3\n") << QStringList{};
        QTest::newRow("list ends at the first missing number")
            << QByteArray("[RadioDef]\nName1=A\nName2=B\nName4=D\n") << QStringList{"A", "B"};
        QTest::newRow("empty name ends the list")
            << QByteArray("[RadioDef]\nName1=A\nName2=\nName3=C\n") << QStringList{"A"};
        QTest::newRow("quoted blank name is a name")
            << QByteArray("[RadioDef]\nName1=\" \"\n") << QStringList{" "};
        QStringList fifty;
        for (int n = 1; n <= 50; ++n)
            fifty << QStringLiteral("R");
        QTest::newRow("at most 50 definitions")
            << "[RadioDef]\n" + numberedLines("Name", 1, 60, "R") << fifty;
        QTest::newRow("names in another section do not count")
            << QByteArray("[Serial]\nName1=A\n") << QStringList{};
    }
    void definitionList() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, names);
        const Configuration cfg = load(content);
        QCOMPARE(cfg.Names, names);
        QCOMPARE(cfg.DefinitionCount(), names.size());
    }

    // One key of definition 1 and the field it gives (absent keys take their defaults).
    void definitionFields_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("Injection hi")
            << QByteArray("Injection1=hi") << "Injection" << QVariant(true);
        QTest::newRow("Injection HIGH is low side")
            << QByteArray("Injection1=HIGH") << "Injection" << QVariant(false);
        QTest::newRow("Injection absent is low side")
            << QByteArray() << "Injection" << QVariant(false);
        QTest::newRow("DCGInvertRx true")
            << QByteArray("DCGInvertRx1=true") << "DCGInvertRx" << QVariant(true);
        QTest::newRow("DCGInvertRx 1 is false")
            << QByteArray("DCGInvertRx1=1") << "DCGInvertRx" << QVariant(false);
        QTest::newRow("DCGInvertTx True")
            << QByteArray("DCGInvertTx1=True") << "DCGInvertTx" << QVariant(true);
        QTest::newRow("RefTable absent uses table 1") << QByteArray() << "RefTable" << QVariant(1);
        QTest::newRow("RefOsc absent is 13.2") << QByteArray() << "RefOsc" << QVariant(13.2f);
        QTest::newRow("RefOsc with unit")
            << QByteArray("RefOsc1=12.8MHz") << "RefOsc" << QVariant(12.8f);
        QTest::newRow("RefOsc empty reads 0")
            << QByteArray("RefOsc1=") << "RefOsc" << QVariant(0.0f);
        QTest::newRow("IFFreq absent is 0") << QByteArray() << "IFFreq" << QVariant(0.0f);
        QTest::newRow("IFFreq") << QByteArray("IFFreq1=45.0") << "IFFreq" << QVariant(45.0f);
        QTest::newRow("EnforceHi")
            << QByteArray("EnforceHi1=174") << "EnforceHi" << QVariant(174.0f);
        QTest::newRow("EnforceLo absent is 0") << QByteArray() << "EnforceLo" << QVariant(0.0f);
        QTest::newRow("TxMult") << QByteArray("TxMult1=3") << "TxMult" << QVariant(3);
        QTest::newRow("TxMult absent is 0") << QByteArray() << "TxMult" << QVariant(0);
        QTest::newRow("RxMult above 255 clamps")
            << QByteArray("RxMult1=300") << "RxMult" << QVariant(255);
        QTest::newRow("RxMult negative clamps")
            << QByteArray("RxMult1=-2") << "RxMult" << QVariant(0);
        QTest::newRow("RefIndex text reads 0")
            << QByteArray("RefIndex1=x3") << "RefIndex" << QVariant(0);
        QTest::newRow("RefTable 256 names no table")
            << QByteArray("RefTable1=256") << "RefTable" << QVariant(255);
        QTest::newRow("DefaultExt absent is D")
            << QByteArray() << "DefaultExt" << QVariant(QStringLiteral("D"));
        QTest::newRow("DefaultExt")
            << QByteArray("DefaultExt1=DSX") << "DefaultExt" << QVariant(QStringLiteral("DSX"));
        QTest::newRow("RadioID absent is 17") << QByteArray() << "RadioID" << QVariant(17);
        QTest::newRow("RadioID 16") << QByteArray("RadioID1=16") << "RadioID" << QVariant(16);
        QTest::newRow("RadioID rounds to nearest")
            << QByteArray("RadioID1=16.6") << "RadioID" << QVariant(17);
        QTest::newRow("RadioID not a number is 0")
            << QByteArray("RadioID1=SX") << "RadioID" << QVariant(0);
        QTest::newRow("RadioID above int16")
            << QByteArray("RadioID1=99999") << "RadioID" << QVariant(32767);
        QTest::newRow("RadioID below int16")
            << QByteArray("RadioID1=-1e9") << "RadioID" << QVariant(-32768);
    }
    void definitionFields() {
        QFETCH(QByteArray, line);
        QFETCH(QString, name);
        QFETCH(QVariant, expected);
        const Configuration cfg = load("[RadioDef]\nName1=A\n" + line + "\n");
        QCOMPARE(cfg.DefinitionCount(), 1);
        QCOMPARE(field(cfg.Definition(1), name), expected);
    }

    // Which divider tables are loaded and what they hold.
    void tables_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("table");
        QTest::addColumn<QList<int>>("dividers"); // positions 1..7
        const QByteArray three = "[RefTableDef]\n" + numberedLines("Index1Table", 1, 2, "5") +
                                 "Index2Table3=7\nIndex1Table4=9\n";
        QTest::newRow("tables before a missing Index1 loaded")
            << three << 2 << QList<int>{5, 0, 0, 0, 0, 0, 0};
        QTest::newRow("Index1Table3 absent stops the tables")
            << three << 3 << QList<int>{0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("nothing after the stop") << three << 4 << QList<int>{0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("Index5Table1 absent gives 0")
            << QByteArray("[RefTableDef]\nIndex1Table1=3168\nIndex2Table1=2640\n"
                          "Index3Table1=2112\nIndex4Table1=3312\nIndex6Table1=2208\n"
                          "Index7Table1=2400\n")
            << 1 << QList<int>{3168, 2640, 2112, 3312, 0, 2208, 2400};
        QTest::newRow("Index1 of -1 counts as missing")
            << QByteArray("[RefTableDef]\nIndex1Table1=-1\nIndex2Table1=5\n") << 1
            << QList<int>{0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("entries clamp to int16")
            << QByteArray("[RefTableDef]\nIndex1Table1=70000\nIndex2Table1=-70000\n") << 1
            << QList<int>{32767, -32768, 0, 0, 0, 0, 0};
        QTest::newRow("an eleventh table is not read")
            << "[RefTableDef]\n" + numberedLines("Index1Table", 1, 11, "4") << 10
            << QList<int>{4, 0, 0, 0, 0, 0, 0};
    }
    void tables() {
        QFETCH(QByteArray, content);
        QFETCH(int, table);
        QFETCH(QList<int>, dividers);
        const Configuration cfg = load(content);
        QList<int> got;
        for (int j = 1; j <= 7; ++j)
            got << cfg.RefTables[size_t(table)][size_t(j)];
        QCOMPARE(got, dividers);
        QCOMPARE(cfg.RefTables[size_t(table)][0], int16_t(0));
    }

    // The table a definition uses; zeros whenever there is none to use.
    void tableFor_data() {
        QTest::addColumn<QByteArray>("refTable");
        QTest::addColumn<int>("definition");
        QTest::addColumn<int>("firstDivider");
        QTest::newRow("table 1") << QByteArray("1") << 1 << 3168;
        QTest::newRow("table 2") << QByteArray("2") << 1 << 1000;
        QTest::newRow("RefTable absent uses table 1") << QByteArray() << 1 << 3168;
        QTest::newRow("RefTable 0") << QByteArray("0") << 1 << 0;
        QTest::newRow("RefTable 11") << QByteArray("11") << 1 << 0;
        QTest::newRow("RefTable 255") << QByteArray("255") << 1 << 0;
        QTest::newRow("undefined table 3") << QByteArray("3") << 1 << 0;
        QTest::newRow("definition 0") << QByteArray("1") << 0 << 0;
        QTest::newRow("definition beyond the count") << QByteArray("1") << 2 << 0;
        QTest::newRow("negative definition") << QByteArray("1") << -1 << 0;
        QTest::newRow("definition 51") << QByteArray("1") << 51 << 0;
    }
    void tableFor() {
        QFETCH(QByteArray, refTable);
        QFETCH(int, definition);
        QFETCH(int, firstDivider);
        QByteArray content = "[RadioDef]\nName1=A\n";
        if (!refTable.isNull()) content += "RefTable1=" + refTable + "\n";
        content += "[RefTableDef]\nIndex1Table1=3168\nIndex1Table2=1000\n";
        // Other tables filled too, so a stray read outside the divider tables is not zero.
        content += "[DCGList]\nDCG1=023\nDCG2=025\n[CGList]\nCG1=67.0\n";
        const Configuration cfg = load(content);
        QCOMPARE(int(cfg.TableFor(definition)[1]), firstDivider);
        if (firstDivider == 0)
            for (int16_t v : cfg.TableFor(definition))
                QCOMPARE(v, int16_t(0));
    }

    // DCG and CG lists: values, counts and where the lists end.
    void lists_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("dcgCount");
        QTest::addColumn<int>("dcg1");
        QTest::addColumn<int>("dcgLast");
        QTest::addColumn<int>("cgCount");
        QTest::addColumn<float>("cg1");
        QTest::addColumn<float>("cgLast");
        QTest::newRow("023 025 and 67.0 71.9")
            << QByteArray("[DCGList]\nDCG1=023\nDCG2=025\n[CGList]\nCG1=67.0\nCG2=71.9\n") << 2
            << 19 << 21 << 2 << 67.0f << 71.9f;
        QTest::newRow("754 is 492")
            << QByteArray("[DCGList]\nDCG1=754\n") << 1 << 492 << 492 << 0 << 0.0f << 0.0f;
        QTest::newRow("lists end at the first missing number")
            << QByteArray("[DCGList]\nDCG1=023\nDCG3=025\n[CGList]\nCG1=67.0\nCG2=\nCG3=1\n") << 1
            << 19 << 19 << 1 << 67.0f << 67.0f;
        QTest::newRow("DCG1 absent: empty lists")
            << QByteArray("[DCGList]\nDCG2=023\n[CGList]\nCG2=67.0\n") << 0 << 0 << 0 << 0 << 0.0f
            << 0.0f;
        QTest::newRow("non-octal DCG text reads 0 but counts")
            << QByteArray("[DCGList]\nDCG1=abc\nDCG2=89\n") << 2 << 0 << 0 << 0 << 0.0f << 0.0f;
        QTest::newRow("DCG value clamps to int16")
            << QByteArray("[DCGList]\nDCG1=7777777\n") << 1 << 32767 << 32767 << 0 << 0.0f << 0.0f;
        QTest::newRow("more than 99 DCG keys")
            << "[DCGList]\n" + numberedLines("DCG", 1, 120, "023") << 99 << 19 << 19 << 0 << 0.0f
            << 0.0f;
        QTest::newRow("more than 50 CG keys") << "[CGList]\n" + numberedLines("CG", 1, 60, "100.0")
                                              << 0 << 0 << 0 << 50 << 100.0f << 100.0f;
        QTest::newRow("CG text reads 0 but counts")
            << QByteArray("[CGList]\nCG1=none\n") << 0 << 0 << 0 << 1 << 0.0f << 0.0f;
    }
    void lists() {
        QFETCH(QByteArray, content);
        QFETCH(int, dcgCount);
        QFETCH(int, dcg1);
        QFETCH(int, dcgLast);
        QFETCH(int, cgCount);
        QFETCH(float, cg1);
        QFETCH(float, cgLast);
        const Configuration cfg = load(content);
        QCOMPARE(int(cfg.DCGCount), dcgCount);
        QCOMPARE(int(cfg.DCGList[1]), dcg1);
        QCOMPARE(int(cfg.DCGList[size_t(qMax(dcgCount, 1))]), dcgLast);
        QCOMPARE(int(cfg.CGCount), cgCount);
        QCOMPARE(cfg.CGList[1], cg1);
        QCOMPARE(cfg.CGList[size_t(qMax(cgCount, 1))], cgLast);
        QCOMPARE(cfg.DCGList[0], int16_t(0));
        QCOMPARE(cfg.CGList[0], 0.0f);
    }

    // The serial port: CommPort, the Device override and the device path they give.
    void serial_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("commPort");
        QTest::addColumn<QString>("device");
        QTest::newRow("CommPort absent") << QByteArray("[Serial]\n") << 1 << "/dev/ttyS0";
        QTest::newRow("CommPort 4") << QByteArray("[serial]\ncommport=4\n") << 4 << "/dev/ttyS3";
        QTest::newRow("CommPort 0 is the first port")
            << QByteArray("[Serial]\nCommPort=0\n") << 0 << "/dev/ttyS0";
        QTest::newRow("CommPort clamps to 255")
            << QByteArray("[Serial]\nCommPort=300\n") << 255 << "/dev/ttyS254";
        QTest::newRow("CommPort -1 clamps to 0")
            << QByteArray("[Serial]\nCommPort=-1\n") << 0 << "/dev/ttyS0";
        QTest::newRow("Device takes precedence")
            << QByteArray("[Serial]\nCommPort=2\nDevice = /dev/ttyUSB0 \n") << 2 << "/dev/ttyUSB0";
        QTest::newRow("commented Device ignored")
            << QByteArray("[Serial]\nCommPort=2\n;Device=/dev/ttyUSB0\n") << 2 << "/dev/ttyS1";
        QTest::newRow("empty Device ignored")
            << QByteArray("[Serial]\nDevice=\n") << 1 << "/dev/ttyS0";
    }
    void serial() {
        QFETCH(QByteArray, content);
        QFETCH(int, commPort);
        QFETCH(QString, device);
        const Configuration cfg = load(content);
        QCOMPARE(int(cfg.CommPort), commPort);
        QCOMPARE(cfg.SerialDevice(), device);
    }

    // Files that hold nothing usable load as an empty configuration, quickly.
    void badFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("growTo"); // grow with NULs to this size; 0 keeps it
        QTest::addColumn<int>("definitions");
        QTest::addColumn<int>("nameLength");
        QTest::newRow("empty file") << QByteArray() << qint64(0) << 0 << 0;
        QTest::newRow("binary file") << [] {
            QByteArray b;
            for (int i = 0; i < 100000; ++i)
                b.append(char((i * 7919) >> 3));
            return b;
        }() << qint64(0) << 0 << 0;
        QTest::newRow("lines without equals")
            << QByteArray("[RadioDef]\nName1\nName1 A\n") << qint64(0) << 0 << 0;
        QTest::newRow("5000-character name cut")
            << "[RadioDef]\nName1=" + QByteArray(5000, 'n') + "\n"
            << qint64(0) << 1 << 1023;
        QTest::newRow("huge file after a definition")
            << QByteArray("[RadioDef]\nName1=A\n") << qint64(100) * 1024 * 1024 << 1 << 1;
        QTest::newRow("huge file without keys")
            << QByteArray("junk") << qint64(50) * 1024 * 1024 << 0 << 0;
    }
    void badFiles() {
        QFETCH(QByteArray, content);
        QFETCH(qint64, growTo);
        QFETCH(int, definitions);
        QFETCH(int, nameLength);
        const QString path = write(content);
        if (growTo > 0) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.resize(growTo));
        }
        Configuration cfg;
        LoadConfiguration(path, cfg);
        QCOMPARE(cfg.DefinitionCount(), definitions);
        if (definitions > 0) QCOMPARE(cfg.Names[0].size(), nameLength);
        QCOMPARE(int(cfg.CommPort), 1);
        QCOMPARE(int(cfg.DCGCount), 0);
        QCOMPARE(int(cfg.CGCount), 0);
    }

    // Every missing key rescans the section: 20 MB of foreign keys inside it must still load
    // in moments (only the head of the file is read).
    void junkInsideSectionLoadsQuickly() {
        QByteArray content = "[RadioDef]\nName1=A\nName2=B\nName3=C\n";
        const QByteArray junk("Zz=1\n");
        content.reserve(20 * 1024 * 1024 + content.size());
        while (content.size() < 20 * 1024 * 1024)
            content += junk;
        content += "TxMult1=5\n";
        const QString path = write(content);
        QElapsedTimer clock;
        clock.start();
        Configuration cfg;
        LoadConfiguration(path, cfg);
        QVERIFY2(clock.elapsed() < 20000, "loading took far too long");
        QCOMPARE(cfg.DefinitionCount(), 3);
        QCOMPARE(int(cfg.Definition(1).TxMult), 0); // beyond the read limit
        QCOMPARE(cfg.Definition(3).RefOsc, 13.2f);
    }

    void missingFile() {
        Configuration cfg;
        cfg.CommPort = 9;
        cfg.Names = QStringList{"old"};
        LoadConfiguration(m_dir.filePath(QStringLiteral("absent.ini")), cfg);
        QCOMPARE(int(cfg.CommPort), 1);
        QVERIFY(cfg.Names.isEmpty());
        QCOMPARE(int(cfg.DCGCount), 0);
        QCOMPARE(int(cfg.CGCount), 0);
    }

    // A reload replaces names and counts; what lies beyond the new counts stays.
    void reloadKeepsSlotsBeyondCounts() {
        Configuration cfg;
        LoadConfiguration(write("[RadioDef]\nName1=A\nTxMult1=3\nName2=B\nName3=C\nTxMult3=7\n"
                                "[RefTableDef]\nIndex1Table1=11\nIndex1Table2=22\n"
                                "[DCGList]\nDCG1=023\nDCG2=025\nDCG3=026\n"
                                "[CGList]\nCG1=67.0\nCG2=71.9\n"),
                          cfg);
        LoadConfiguration(write("[RadioDef]\nName1=X\n[RefTableDef]\nIndex1Table1=33\n"
                                "[DCGList]\nDCG1=754\n[CGList]\nCG1=100.0\n"),
                          cfg);
        QCOMPARE(cfg.Names, QStringList{"X"});
        QCOMPARE(int(cfg.Defs[1].TxMult), 0); // re-read with its default, not kept
        QCOMPARE(int(cfg.Defs[3].TxMult), 7);
        QCOMPARE(cfg.Definition(3).TxMult, uint8_t(0)); // beyond the count: not offered
        QCOMPARE(int(cfg.RefTables[1][1]), 33);
        QCOMPARE(int(cfg.RefTables[2][1]), 22);
        QCOMPARE(int(cfg.DCGCount), 1);
        QCOMPARE(int(cfg.DCGList[1]), 492);
        QCOMPARE(int(cfg.DCGList[3]), 22);
        QCOMPARE(int(cfg.CGCount), 1);
        QCOMPARE(cfg.CGList[2], 71.9f);
    }

    // The configuration shipped with the program loads completely.
    void shippedConfiguration_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("source copy")
            << qEnvironmentVariable("OSTRAND_SOURCE_DIR") + QStringLiteral("/data/Ostrand.ini");
        QTest::newRow("copy beside the program")
            << qEnvironmentVariable("OSTRAND_BINARY_DIR") + QStringLiteral("/Ostrand.ini");
    }
    void shippedConfiguration() {
        QFETCH(QString, path);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        Configuration cfg;
        LoadConfiguration(path, cfg);
        QCOMPARE(int(cfg.CommPort), 1);
        QVERIFY(cfg.Device.isEmpty());
        QCOMPARE(cfg.Names.mid(0, 3), (QStringList{"VHF Delta-SX", "UHF Delta-SX", "VHF Delta-S"}));
        QCOMPARE(cfg.Definition(1).RadioID, int16_t(17));
        QCOMPARE(cfg.Definition(1).DefaultExt, QStringLiteral("DSX"));
        QCOMPARE(cfg.Definition(2).TxMult, uint8_t(3));
        QCOMPARE(cfg.Definition(2).Injection, true);
        QCOMPARE(cfg.Definition(3).RadioID, int16_t(16));
        QCOMPARE(cfg.Definition(3).DefaultExt, QStringLiteral("DS"));
        for (int d = 1; d <= cfg.DefinitionCount(); ++d) {
            QCOMPARE(cfg.Definition(d).RefOsc, 13.2f);
            QVERIFY(cfg.TableFor(d)[1] != 0);
            QVERIFY(cfg.Definition(d).RefIndex >= 1 && cfg.Definition(d).RefIndex <= 7);
        }
        const DividerTable expected{0, 3168, 2640, 2112, 3312, 2760, 2208, 2400};
        QCOMPARE(cfg.RefTables[1], expected);
        QCOMPARE(int(cfg.DCGCount), 99);
        QCOMPARE(int(cfg.DCGList[1]), 19);   // 023
        QCOMPARE(int(cfg.DCGList[99]), 492); // 754
        QCOMPARE(int(cfg.CGCount), 38);
        QCOMPARE(cfg.CGList[1], 67.0f);
        QCOMPARE(cfg.CGList[38], 250.3f);
        for (int k = 2; k <= cfg.DCGCount; ++k)
            QVERIFY(cfg.DCGList[k] > cfg.DCGList[k - 1]);
        for (int k = 2; k <= cfg.CGCount; ++k)
            QVERIFY(cfg.CGList[k] > cfg.CGList[k - 1]);
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
