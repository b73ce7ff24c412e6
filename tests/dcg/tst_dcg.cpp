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
    void codeWord_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("word");
        QTest::newRow("023") << 023 << 0x763813;
        QTest::newRow("000") << 0 << 0x63A800;
        QTest::newRow("754") << 0754 << 0x20F9EC;
        QTest::newRow("777") << 0777 << 0x3569FF;
        QTest::newRow("446") << 0446 << 0x752926;
        QTest::newRow("1023 decimal reads as 777") << 1023 << 0x3569FF;
        QTest::newRow("high bits of 023 ignored") << (0x7FFE00 | 023) << 0x763813;
    }
    void codeWord() {
        QFETCH(int, code);
        QFETCH(int, word);
        QCOMPARE(DCGCalcCodeWord(code), word);
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

    void shiftLeft_data() {
        QTest::addColumn<int>("dat");
        QTest::addColumn<int>("shifted");
        QTest::newRow("top bit wraps to bit 0") << 0x400000 << 0x000001;
        QTest::newRow("word of 023") << 0x763813 << 0x6C7027;
        QTest::newRow("all 23 bits") << 0x7FFFFF << 0x7FFFFF;
        QTest::newRow("bit 21 to bit 22 without wrap") << 0x200000 << 0x400000;
        QTest::newRow("-1 masks to 23 bits") << -1 << 0x7FFFFF;
    }
    void shiftLeft() {
        QFETCH(int, dat);
        QFETCH(int, shifted);
        QCOMPARE(DCGShiftLeft(dat), shifted);
    }

    void validity_data() {
        QTest::addColumn<int>("word");
        QTest::addColumn<bool>("valid");
        QTest::newRow("word of 754") << 0x20F9EC << true;
        QTest::newRow("bits above 22 not examined") << (0x763813 | 0x7F000000) << true;
        QTest::newRow("one parity bit flipped") << (0x763813 ^ 0x100000) << false;
        QTest::newRow("marker bit 11 cleared") << (0x763813 & ~0x800) << false;
        QTest::newRow("marker bit 9 set") << (0x763813 | 0x200) << false;
    }
    void validity() {
        QFETCH(int, word);
        QFETCH(bool, valid);
        QCOMPARE(DCGIsCodeValid(word), valid);
    }

    // The rotations of 023's word that are code words: those of 023, 766 and 340.
    void validRotationsOf023() {
        QList<int> places;
        int32_t word = DCGCalcCodeWord(023);
        for (int r = 0; r < 23; ++r, word = DCGShiftLeft(word))
            if (DCGIsCodeValid(word)) places << r;
        QCOMPARE(places, (QList<int>{0, 7, 17}));
    }

    void tableMembership_data() {
        QTest::addColumn<Table>("table");
        QTest::addColumn<int>("dat");
        QTest::addColumn<bool>("found");
        QTest::newRow("empty table, code 000") << Table{} << 0 << false;
        QTest::newRow("listed code") << Table{023, 0754} << 0754 << true;
        QTest::newRow("unlisted code") << Table{023, 0754} << 025 << false;
        QTest::newRow("word compares by its low 9 bits") << Table{023} << 0x763813 << true;
        QTest::newRow("entry 1023 matches 777") << Table{1023} << 0777 << true;
    }
    void tableMembership() {
        QFETCH(Table, table);
        QFETCH(int, dat);
        QFETCH(bool, found);
        QCOMPARE(DCGIsCodeInTable(dat, toTable(table)), found);
    }

    void eightBitCode_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("inverted");
        QTest::addColumn<int>("stored");
        QTest::newRow("023") << 023 << false << 19;
        QTest::newRow("340, family of 023") << 0340 << false << 19;
        QTest::newRow("766, family of 023") << 0766 << false << 19;
        QTest::newRow("023 inverted stores 047") << 023 << true << 39;
        QTest::newRow("754 stores 076") << 0754 << false << 076;
        QTest::newRow("446 alias") << 0446 << false << 3;
        QTest::newRow("526 alias") << 0526 << false << 10;
        QTest::newRow("100 stored through 003") << 0100 << false << 3;
        QTest::newRow("377 never stores 255") << 0377 << false << 140;
        for (int code : {0777, 0463, 0527, 0752})
            QTest::newRow(qPrintable(QString::number(code, 8) + " unstorable"))
                << code << false << 256;
        for (int code : {02, 010, 024})
            QTest::newRow(qPrintable(QString::number(code, 8) + " inverted unstorable"))
                << code << true << 256;
    }
    void eightBitCode() {
        QFETCH(int, code);
        QFETCH(bool, inverted);
        QFETCH(int, stored);
        QCOMPARE(DCGFindEightBitCode(code, inverted), stored);
    }

    // Over all codes: how many cannot be stored, and every stored value outside the alias
    // range names a member of the code's own family.
    void storedValuesOfAllCodes_data() {
        QTest::addColumn<bool>("inverted");
        QTest::addColumn<int>("unstorable");
        QTest::newRow("not inverted") << false << 29;
        QTest::newRow("inverted") << true << 71;
    }
    void storedValuesOfAllCodes() {
        QFETCH(bool, inverted);
        QFETCH(int, unstorable);
        int count = 0;
        for (int code = 0; code < 512; ++code) {
            const int32_t s = DCGFindEightBitCode(code, inverted);
            QVERIFY(s == 256 || (s >= 0 && s <= 254));
            if (s == 256)
                ++count;
            else if (s < 3 || s > 10)
                QVERIFY(family(code, inverted).contains(s));
        }
        QCOMPARE(count, unstorable);
    }

    void commonCode_data() {
        QTest::addColumn<Table>("table");
        QTest::addColumn<int>("dat");
        QTest::addColumn<bool>("inverted");
        QTest::addColumn<int>("common");
        const Table t023{023};
        QTest::newRow("340 shows listed 023") << t023 << 0340 << false << 023;
        QTest::newRow("047 inverted shows 023") << t023 << 047 << true << 023;
        QTest::newRow("023 itself") << t023 << 023 << false << 023;
        QTest::newRow("025 unlisted family") << t023 << 025 << false << 025;
        QTest::newRow("025 inverted falls back to complement") << t023 << 025 << true << 0752;
        QTest::newRow("stored 3 shows 446") << Table{0446} << 3 << false << 0446;
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

    void encodeThenDecode_data() { storedValuesOfAllCodes_data(); }

    // A listed code stored and read back shows itself, except when its stored value falls in
    // 3..10 without coming from an alias: then it is read through the alias code's family.
    void encodeThenDecode() {
        QFETCH(bool, inverted);
        int exceptions = 0;
        for (int code = 0; code < 512; ++code) {
            const int32_t s = DCGFindEightBitCode(code, inverted);
            if (s == 256) continue;
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
        QVERIFY(exceptions > 0);
        // The named case: 100 is stored as 3 and reads back as 446.
        QCOMPARE(DCGFindCommonCode(3, false, std::vector<int16_t>{0100}), 0446);
    }
};

QTEST_APPLESS_MAIN(TestDcg)
#include "tst_dcg.moc"
