// SPDX-License-Identifier: GPL-3.0-or-later
// The text readings and display patterns, the INI reading rules, and the configuration loaded
// through them.
#include "common/Numbers.h"
#include "config/Configuration.h"
#include "config/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

using namespace ostrand;

namespace {

const QString S = QStringLiteral("S");
const QString K = QStringLiteral("k");

// Numbered keys such as "DCG1=023" for k = from..to.
QByteArray NumberedLines(const char* stem, int from, int to, const QByteArray& value) {
    QByteArray out;
    for (int k = from; k <= to; ++k)
        out += stem + QByteArray::number(k) + '=' + value + '\n';
    return out;
}

template <typename Seq> QString Joined(const Seq& values) {
    QStringList parts;
    for (auto v : values)
        parts << QString::number(v);
    return parts.join(u' ');
}

// One aspect of a loaded configuration as text: "count" (definitions, DCG and CG entries),
// "serial", "dcg" and "cg" (count, first and last entry), "table i", "tableFor d" (dividers
// 1..7), or "def": the names, then every field of definition 1 in declaration order.
QString Probe(const Configuration& cfg, const QString& what) {
    const QStringList w = what.split(u' ');
    const int dcg = cfg.DCGCount, cg = cfg.CGCount;
    if (what == "count") return Joined(QList<int>{cfg.DefinitionCount(), dcg, cg});
    if (what == "serial") return QString::number(cfg.CommPort) + ' ' + cfg.SerialDevice();
    if (what == "dcg") return Joined(QList<int>{dcg, cfg.DCGList[1], cfg.DCGList[qMax(dcg, 1)]});
    if (what == "cg")
        return Joined(QList<float>{float(cg), cfg.CGList[1], cfg.CGList[qMax(cg, 1)]});
    const auto dividers = [](const DividerTable& t) {
        return Joined(QList<int>(t.begin() + 1, t.end()));
    };
    if (w[0] == "table") return dividers(cfg.RefTables[w[1].toUInt()]);
    if (w[0] == "tableFor") return dividers(cfg.TableFor(w[1].toInt()));
    const RadioDefinition& d = cfg.Definition(1);
    return cfg.Names.join(u'|') + ": " +
           Joined(QList<double>{d.EnforceHi, d.EnforceLo, double(d.Injection), double(d.TxMult),
                                double(d.RxMult), d.IFFreq, d.RefOsc, double(d.RefIndex),
                                double(d.RefTable)}) +
           ' ' + d.DefaultExt + ' ' + Joined(QList<int>{d.DCGInvertTx, d.DCGInvertRx, d.RadioID});
}

void Row(const char* what, const QByteArray& content, const char* aspect, const char* expected) {
    QTest::newRow(what) << content << QString(aspect) << QString(expected);
}

void ReadRow(const char* what, const QByteArray& content, const QString& text, int number) {
    QTest::newRow(what) << content << text << number;
}

} // namespace

class TestConfig : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;

    // The file holds content, then NULs up to size, then tail.
    QString WriteFile(const QByteArray& content, qint64 size = 0, const QByteArray& tail = {},
                      QString path = {}) {
        if (path.isEmpty()) path = dir_.filePath(QString::number(++serial_));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size()) return {};
        if (size > 0 && !(f.resize(size) && f.seek(size) && f.write(tail) == tail.size()))
            return {};
        return path;
    }
    // "path:" and a file of size bytes ending in key k = 8.
    QByteArray Big(qint64 size) {
        return "path:" + WriteFile("[S]\n", size - 5, "\nk=8\n").toUtf8();
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    // Every reading of one text: "lenient strict octal hex leading", strict "-" when refused.
    void readings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* what, const char* text, const char* expected) {
            QTest::newRow(what) << QString(text) << QString(expected);
        };
        row("decimal with blanks around", " 155.3625 ", "155.3625 155.3625 109 1 0");
        row("blanks inside", " 1 5 5.5 ", "155.5 - 109 1 0");
        row("trailing text", "13.2MHz", "13.2 - 11 19 13");
        row("empty", "", "0 - 0 0 0");
        row("lone point", ".", "0 - 0 0 0");
        row("exponent", "1.5e2x", "150 - 1 1 1");
        row("comma is no point", "1,5", "1 - 1 1 1");
        row("overflow", "1e999", "0 - 1 30 1");
        row("nan text", "nan", "0 - 0 0 0");
        row("hex letters", "1a", "1 - 1 26 1");
        row("signs only", "--", "0 - 0 0 0");
        row("negative", "-12", "-12 -12 0 0 -12");
        row("saturates", "99999999999", "99999999999 99999999999 0 153 2147483647");
    }
    void readings() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const auto n = [](double v) { return QString::number(v, 'g', 12); };
        const auto strict = ParseStrict(text);
        const QStringList got{n(ParseLenient(text)), strict ? n(*strict) : "-", n(ParseOctal(text)),
                              n(ParseHexField(text)), n(ParseLeadingInt(text))};
        QCOMPARE(got.join(u' '), expected);
    }
    void patterns_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* what, double value, const char* pattern,
                            const QString& text) {
            QTest::newRow(what) << value << QString(pattern) << text;
        };
        row("zero optional", 0.0, "##.0", ".0");
        row("rounds half away", 2.5, "0", "3");
        row("grid format", 0.25, "##0.0000", "0.2500");
        row("wider than pattern", 1234.5, "##.0", "1234.5");
        row("negative", -0.5, "##.0", "-.5");
        const double huge = std::ldexp(1.0, 1020); // times 10^4 is beyond the double range
        row("scaling past double range keeps the digits", huge, "####.0000",
            QString::number(huge, 'f', 0) + ".0000");
    }
    void patterns() {
        QFETCH(double, value);
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QCOMPARE(FormatPattern(value, pattern), text);
    }

    // Key k of section S read as text (default "<def>") and as a number (default -1).
    void read_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        const QString def = QStringLiteral("<def>");
        ReadRow("names match without regard to case", "[s]\nK=3\n", "3", 3);
        ReadRow("first key wins", "[S]\nk=1\nK=2\n", "1", 1);
        ReadRow("only the first section occurrence", "[S]\na=1\n[T]\nk=0\n[s]\nk=2\n", def, -1);
        ReadRow("blanks around key and value", "[S]\n \t k \t=\t -5x  B \t\n", "-5x  B", -5);
        ReadRow("single quotes removed", "[S]\nk='12'\n", "12", 12);
        ReadRow("double quotes removed", "[S]\nk= \"  a b \" \n", "  a b ", 0);
        ReadRow("empty value is present, not missing", "[S]\nk=\n", "", 0);
        ReadRow("comments skipped", ";[S]\nk=1\n[S]\n;k=2\n  #k=3\nk=4\n", "4", 4);
        ReadRow("lines without equals ignored", "[S]\n[T\nk\nk 1\nk=2\n", "2", 2);
        ReadRow("NUL ends the value", QByteArray("[S]\nk=42\0cd\n", 12), "42", 42);
        ReadRow("UTF-8 with byte order mark", "\xEF\xBB\xBF[S]\nk=\xC3\xA9\n", "\u00e9", 0);
        ReadRow("UTF-8 without one", "[S]\nk=B\xC3\xA4nd \xC2\xB5\n", "B\u00e4nd \u00b5", 0);
        ReadRow("value cut to 1023 characters", "[S]\nk=" + QByteArray(1024, 'x'),
                QString(1023, u'x'), 0);
        // "path:" names a file that is no INI text or is too big to hold in memory: neither hangs
        // nor fills memory, nor is read in part.
        ReadRow("folder", "path:" + dir_.path().toUtf8(), def, -1);
        ReadRow("endless device", "path:/dev/zero", def, -1);
        ReadRow("key at the end of 16 MiB", Big(IniFile::kMaxFileSize), "8", 8);
        ReadRow("a byte more: nothing read", Big(IniFile::kMaxFileSize + 1), def, -1);
    }
    void read() {
        QFETCH(QByteArray, content);
        QFETCH(QString, text);
        QFETCH(int, number);
        IniFile ini;
        ini.SetFilename(content.startsWith("path:") ? QString(content.mid(5)) : WriteFile(content));
        QCOMPARE(ini.GetString(S, K, QStringLiteral("<def>")), text);
        QCOMPARE(ini.GetNumber(S, K, -1), number);
    }

    // One object reads the file once; a write makes it read again.
    void readOncePerObject() {
        const QString path = WriteFile("[S]\nk=1\n");
        IniFile ini;
        ini.SetFilename(path);
        QCOMPARE(ini.GetString(S, K), "1");
        WriteFile("[S]\nk=2\n", 0, {}, path);
        QCOMPARE(ini.GetString(S, K), "1");
        QVERIFY(ini.PutString(S, QStringLiteral("j"), QStringLiteral("3")));
        QCOMPARE(ini.GetString(S, K), "2");
    }

    // Key k of section S written with a value: the file afterwards, "refused" when the write is
    // refused (file unchanged); every accepted value reads back as written.
    void write_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const auto add = [](const char* what, const QByteArray& content, const QString& value,
                            const QByteArray& after) {
            QTest::newRow(what) << content << value << after;
        };
        add("new file", "", "1", "[S]\nk=1\n");
        add("replaced in place, CR LF kept", "[s]\r\nK=0\r\nj=2\r\n", "5", "[s]\r\nk=5\r\nj=2\r\n");
        add("added after the section's last key", "[S]\nj=1\n\n[T]\nk=0\n", "2",
            "[S]\nj=1\nk=2\n\n[T]\nk=0\n");
        add("outer blanks quoted", "", " a ", "[S]\nk=\" a \"\n");
        add("line break refused", "[S]\nk=0\n", "a\nb", "refused");
    }
    void write() {
        QFETCH(QByteArray, content);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QString path = dir_.filePath(QStringLiteral("new%1").arg(++serial_));
        if (!content.isEmpty()) path = WriteFile(content);
        IniFile ini;
        ini.SetFilename(path);
        const bool refused = after == "refused";
        QCOMPARE(ini.PutString(S, K, value), !refused);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), refused ? content : after);
        if (!refused) QCOMPARE(ini.GetString(S, K), value);
    }

    // The content is loaded into one configuration, each "|"-separated part in turn; a part
    // "path:p" loads the file p as it is.
    void loads_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("aspect");
        QTest::addColumn<QString>("expected");
        const QByteArray def = "[RadioDef]\nName1=A\n";
        Row("Name1 absent loads nothing", "[RadioDef]\nName2=B\nTxMult1=3\n", "count", "0 0 0");
        Row("list ends at the first missing number", def + "Name2=B\nName4=D\n", "count", "2 0 0");
        Row("at most 50 definitions", "[RadioDef]\n" + NumberedLines("Name", 1, 60, "R"), "count",
            "50 0 0");
        Row("absent keys take their defaults", def, "def", "A: 0 0 0 0 0 0 13.2 0 1 D 0 0 17");
        Row("every key read into its own field",
            def + "EnforceHi1=174\nEnforceLo1=136\nInjection1=hi\nTxMult1=3\nRxMult1=4\n"
                  "IFFreq1=45.5\nRefOsc1=14.4\nRefIndex1=5\nRefTable1=2\nDefaultExt1=DSX\n"
                  "DCGInvertTx1=True\nDCGInvertRx1=true\nRadioID1=16.6\n",
            "def", "A: 174 136 1 3 4 45.5 14.4 5 2 DSX 1 1 17");
        Row("HIGH, 1, out-of-range and non-numbers",
            def + "Injection1=HIGH\nRxMult1=300\nDCGInvertTx1=1\nRadioID1=SX\n", "def",
            "A: 0 0 0 0 255 0 13.2 0 1 D 0 0 0");
        const QByteArray three = "[RefTableDef]\n" + NumberedLines("Index1Table", 1, 2, "5") +
                                 "Index2Table3=7\nIndex1Table4=9\n";
        Row("tables before a missing Index1 loaded", three, "table 2", "5 0 0 0 0 0 0");
        Row("Index1Table3 absent stops the tables", three, "table 3", "0 0 0 0 0 0 0");
        Row("Index5Table1 absent gives 0",
            "[RefTableDef]\nIndex1Table1=3168\nIndex2Table1=2640\nIndex3Table1=2112\n"
            "Index4Table1=3312\nIndex6Table1=2208\nIndex7Table1=2400\n",
            "table 1", "3168 2640 2112 3312 0 2208 2400");
        Row("entries clamp to int16", "[RefTableDef]\nIndex1Table1=70000\nIndex2Table1=-70000",
            "table 1", "32767 -32768 0 0 0 0 0");
        // The lists are filled so that a stray read outside the divider tables is not zero.
        const QByteArray tables = "\n[RefTableDef]\nIndex1Table1=3168\nIndex1Table2=1000\n"
                                  "[DCGList]\nDCG1=023\n[CGList]\nCG1=67.0\n";
        Row("table 2", def + "RefTable1=2" + tables, "tableFor 1", "1000 0 0 0 0 0 0");
        Row("RefTable 11 is no table", def + "RefTable1=11" + tables, "tableFor 1",
            "0 0 0 0 0 0 0");
        Row("definition beyond the count", def + tables, "tableFor 2", "0 0 0 0 0 0 0");
        Row("DCG 023 025", "[DCGList]\nDCG1=023\nDCG2=025\n", "dcg", "2 19 21");
        Row("CG 67.0 71.9", "[CGList]\nCG1=67.0\nCG2=71.9\n", "cg", "2 67 71.9");
        Row("DCG list ends at the first missing number", "[DCGList]\nDCG1=754\nDCG3=025\n", "dcg",
            "1 492 492");
        Row("non-octal DCG reads 0 but counts", "[DCGList]\nDCG1=abc\nDCG2=89\n", "dcg", "2 0 0");
        Row("at most 99 DCG entries", "[DCGList]\n" + NumberedLines("DCG", 1, 120, "023"), "dcg",
            "99 19 19");
        Row("at most 50 CG entries", "[CGList]\n" + NumberedLines("CG", 1, 60, "100.0"), "cg",
            "50 100 100");
        Row("CommPort absent", "[Serial]\n", "serial", "1 /dev/ttyS0");
        Row("Device takes precedence", "[Serial]\nCommPort=2\nDevice = /dev/ttyUSB0 \n", "serial",
            "2 /dev/ttyUSB0");
        Row("empty Device ignored", "[Serial]\nCommPort=2\nDevice=\n", "serial", "2 /dev/ttyS1");
        // A reload replaces names, counts and the fields of listed definitions; a missing file
        // leaves nothing.
        const QByteArray full = "[Serial]\nCommPort=9\n" + def +
                                "TxMult1=3\nName2=B\n"
                                "[DCGList]\nDCG1=023\nDCG2=025\n[CGList]\nCG1=67.0\n|";
        const QByteArray absent = "path:" + dir_.filePath(QStringLiteral("absent")).toUtf8();
        Row("reload rereads the fields", full + "[RadioDef]\nName1=X\n", "def",
            "X: 0 0 0 0 0 0 13.2 0 1 D 0 0 17");
        Row("reload replaces the DCG list", full + "[DCGList]\nDCG1=754\n", "dcg", "1 492 492");
        Row("reload of a missing file: no entries", full + absent, "count", "0 0 0");
        Row("a missing file is said", absent, "problem", "no such file");
        // The configuration shipped with the program loads completely, also from its copy
        // beside the program.
        const QByteArray shipped = "path:" + qgetenv("OSTRAND_SOURCE_DIR") + "/data/Ostrand.ini";
        Row("shipped definitions", shipped, "def",
            "VHF Delta-SX|UHF Delta-SX|VHF Delta-S: 174 136 0 1 1 45 13.2 3 1 DSX 0 0 17");
        Row("too large: nothing read, and said", Big(IniFile::kMaxFileSize + 1), "problem",
            "larger than 16 MiB");
    }
    void loads() {
        QFETCH(QByteArray, content);
        QFETCH(QString, aspect);
        QFETCH(QString, expected);
        Configuration cfg;
        QString problem;
        for (const QByteArray& text : content.split('|'))
            problem = LoadConfiguration(
                text.startsWith("path:") ? QString(text.mid(5)) : WriteFile(text), cfg);
        QCOMPARE(aspect == "problem" ? problem : Probe(cfg, aspect), expected);
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
