// Golay code words of DCG codes and the searches over their rotations.
#include "dcg/Dcg.h"

#include <QList>
#include <QSet>
#include <QTest>

#include <vector>

using namespace ostrand;

namespace {

using Table = QList<int>;

std::vector<int16_t> toTable(const Table& codes) {
    return std::vector<int16_t>(codes.cbegin(), codes.cend());
}

// Remainder of a word divided by x^11+x^10+x^6+x^5+x^4+x^2+1 over GF(2).
uint32_t golayRemainder(uint32_t word) {
    for (int bit = 31; bit >= 11; --bit)
        if (word & (1u << bit)) word ^= 0xC75u << (bit - 11);
    return word;
}

int32_t wordOf(int code, bool inverted) {
    const int32_t word = DCGCalcCodeWord(code);
    return inverted ? (word ^ 0x7FFFFF) & 0x7FFFFF : word;
}

// Codes whose words are rotations of the code's (possibly inverted) word, found without the
// library's rotation and validity test: a rotation counts when it is the word of its own code.
QSet<int> family(int code, bool inverted) {
    int32_t word = wordOf(code, inverted);
    QSet<int> members;
    for (int r = 0; r < 23; ++r) {
        if (DCGCalcCodeWord(word & 0x1FF) == word) members.insert(word & 0x1FF);
        word = ((word << 1) | (word >> 22)) & 0x7FFFFF;
    }
    return members;
}

const int kAlias[8] = {0446, 0447, 0452, 0454, 0455, 0462, 0523, 0526};

} // namespace

class TestDcg : public QObject {
    Q_OBJECT
private slots:
    // The functions of one value: code word, one rotation, validity and membership of the table
    // {023, 754, 1023} or of an empty one (1 or 0), and the 8-bit value stored (256: none).
    void functionsOfOneValue_data() {
        QTest::addColumn<QString>("function");
        QTest::addColumn<int>("in");
        QTest::addColumn<int>("out");
        const auto row = [](const char* what, const char* fn, int in, int out) {
            QTest::newRow(what) << QString(fn) << in << out;
        };
        row("word of 023", "word", 023, 0x763813);
        row("word of 000", "word", 0, 0x63A800);
        row("word of 777", "word", 0777, 0x3569FF);
        row("1023 decimal reads as 777", "word", 1023, 0x3569FF);
        row("high bits of 023 ignored", "word", 0x7FFE00 | 023, 0x763813);
        row("top bit wraps to bit 0", "shift", 0x400000, 0x000001);
        row("word of 023 rotated", "shift", 0x763813, 0x6C7027);
        row("-1 masks to 23 bits", "shift", -1, 0x7FFFFF);
        row("word of 754 valid", "valid", 0x20F9EC, 1);
        row("bits above 22 not examined", "valid", 0x763813 | 0x7F000000, 1);
        row("one parity bit flipped", "valid", 0x763813 ^ 0x100000, 0);
        row("marker bit 11 cleared", "valid", 0x763813 & ~0x800, 0);
        row("marker bit 9 set", "valid", 0x763813 | 0x200, 0);
        row("empty table, code 000", "in empty", 0, 0);
        row("listed code", "in table", 0754, 1);
        row("unlisted code", "in table", 025, 0);
        row("word compares by its low 9 bits", "in table", 0x763813, 1);
        row("entry 1023 matches 777", "in table", 0777, 1);
        row("023 stores 19", "store", 023, 19);
        row("340, family of 023", "store", 0340, 19);
        row("023 inverted stores 047", "store inverted", 023, 39);
        row("754 stores 076", "store", 0754, 076);
        row("446 alias", "store", 0446, 3);
        row("526 alias", "store", 0526, 10);
        row("100 stored through 003", "store", 0100, 3);
        row("377 never stores 255", "store", 0377, 140);
        row("777 unstorable", "store", 0777, 256);
    }
    void functionsOfOneValue() {
        QFETCH(QString, function);
        QFETCH(int, in);
        QFETCH(int, out);
        const std::vector<int16_t> listed{023, 0754, 1023};
        const int32_t got = function == "word"       ? DCGCalcCodeWord(in)
                            : function == "shift"    ? DCGShiftLeft(in)
                            : function == "valid"    ? DCGIsCodeValid(in)
                            : function == "in empty" ? DCGIsCodeInTable(in, {})
                            : function == "in table" ? DCGIsCodeInTable(in, listed)
                            : function == "store"    ? DCGFindEightBitCode(in, false)
                                                     : DCGFindEightBitCode(in, true);
        QCOMPARE(got, out);
    }

    // Every word carries its code and the markers and is a multiple of the generator; 23
    // rotations of it, inverted or not, bring it back and no fewer do.
    void everyWordIsAGolayWordOfPeriod23() {
        for (int code = 0; code < 512; ++code) {
            const int32_t word = DCGCalcCodeWord(code);
            QCOMPARE(word & ~0x7FFFFF, 0);
            QCOMPARE(word & 0xFFF, 0x800 | code);
            QCOMPARE(golayRemainder(uint32_t(word)), 0u);
            for (bool inverted : {false, true}) {
                const int32_t start = wordOf(code, inverted);
                int32_t w = start;
                for (int r = 1; r <= 23; ++r) {
                    w = DCGShiftLeft(w);
                    QVERIFY2((w == start) == (r == 23), qPrintable(QString::number(code, 8)));
                }
            }
        }
    }

    // The rotations of 023's word that are code words: those of 023, 766 and 340.
    void validRotationsOf023() {
        QList<int> places;
        int32_t word = DCGCalcCodeWord(023);
        for (int r = 0; r < 23; ++r, word = DCGShiftLeft(word))
            if (DCGIsCodeValid(word)) places << r;
        QCOMPARE(places, (QList<int>{0, 7, 17}));
    }

    void commonCode_data() {
        QTest::addColumn<Table>("table");
        QTest::addColumn<int>("dat");
        QTest::addColumn<bool>("inverted");
        QTest::addColumn<int>("common");
        const Table t023{023};
        QTest::newRow("340 shows listed 023") << t023 << 0340 << false << 023;
        QTest::newRow("047 inverted shows 023") << t023 << 047 << true << 023;
        QTest::newRow("025 unlisted family") << t023 << 025 << false << 025;
        QTest::newRow("025 inverted falls back to complement") << t023 << 025 << true << 0752;
        QTest::newRow("empty table inverted returns complement")
            << Table{} << 0754 << true << (0754 ^ 0777);
        for (int s = 3; s <= 10; ++s)
            QTest::newRow(qPrintable(QStringLiteral("empty table, stored %1 is alias").arg(s)))
                << Table{} << s << false << kAlias[s - 3];
        QTest::newRow("fewest rotations wins over list order")
            << Table{0766, 023} << 0340 << false << 023;
        QTest::newRow("listed start wins") << Table{023, 0766} << 0766 << false << 0766;
        QTest::newRow("bits above 8 of a stored value ignored")
            << Table{0446} << (0x200 | 3) << false << 0446;
    }
    void commonCode() {
        QFETCH(Table, table);
        QFETCH(int, dat);
        QFETCH(bool, inverted);
        QFETCH(int, common);
        QCOMPARE(DCGFindCommonCode(dat, inverted, toTable(table)), common);
    }

    void encodeThenDecode_data() {
        QTest::addColumn<bool>("inverted");
        QTest::addColumn<int>("unstorable");
        QTest::newRow("not inverted") << false << 29;
        QTest::newRow("inverted") << true << 71;
    }

    // Over all codes: how many cannot be stored; every stored value outside the alias range
    // names a member of the code's own family; and a listed code stored and read back shows
    // itself, except when its stored value falls in 3..10 without coming from an alias: then
    // it is read through the alias code's family.
    void encodeThenDecode() {
        QFETCH(bool, inverted);
        QFETCH(int, unstorable);
        int exceptions = 0, count = 0;
        for (int code = 0; code < 512; ++code) {
            const int32_t s = DCGFindEightBitCode(code, inverted);
            QVERIFY(s == 256 || (s >= 0 && s <= 254));
            if (s == 256) {
                ++count;
                continue;
            }
            if (s < 3 || s > 10) QVERIFY(family(code, inverted).contains(s));
            const int32_t shown =
                DCGFindCommonCode(s, inverted, std::vector<int16_t>{int16_t(code)});
            const int alias = (s >= 3 && s <= 10) ? kAlias[s - 3] : -1;
            if (alias < 0 || family(code, inverted).contains(alias)) {
                QVERIFY2(shown == code, qPrintable(QString::number(code, 8)));
                continue;
            }
            ++exceptions;
            // Read from the alias's family; with nothing of it listed, its start comes back.
            if (family(alias, inverted).contains(code))
                QCOMPARE(shown, code);
            else
                QCOMPARE(shown, inverted ? (alias ^ 0777) : alias);
        }
        QCOMPARE(count, unstorable);
        QVERIFY(exceptions > 0);
        // The named case: 100 is stored as 3 and reads back as 446.
        QCOMPARE(DCGFindCommonCode(3, false, std::vector<int16_t>{0100}), 0446);
    }
};

QTEST_APPLESS_MAIN(TestDcg)
#include "tst_dcg.moc"
