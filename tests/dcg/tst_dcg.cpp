// Golay code words of DCG codes and the searches over their rotations.
#include "dcg/Dcg.h"

#include <QSet>
#include <QStringList>
#include <QTest>

#include <vector>

using namespace ostrand;

namespace {

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
    // The functions of one value. The function is named with "~" for an inverted search and
    // followed by the DCG table in octal; "rotations" gives a bit for each valid rotation.
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
        row("023 valid rotated 0, 7 and 17", "rotations", 023, 1 | 1 << 7 | 1 << 17);
        row("empty table, code 000", "in", 0, 0);
        row("listed code", "in 023 754 1777", 0754, 1);
        row("unlisted code", "in 023 754 1777", 025, 0);
        row("word compares by its low 9 bits", "in 023 754 1777", 0x763813, 1);
        row("entry 1023 matches 777", "in 023 754 1777", 0777, 1);
        row("023 stores 19", "store", 023, 19);
        row("340, family of 023", "store", 0340, 19);
        row("023 inverted stores 047", "store~", 023, 39);
        row("754 stores 076", "store", 0754, 076);
        row("446 alias", "store", 0446, 3);
        row("526 alias", "store", 0526, 10);
        row("100 stored through 003", "store", 0100, 3);
        row("377 never stores 255", "store", 0377, 140);
        row("777 unstorable", "store", 0777, 256);
        row("340 shows listed 023", "common 023", 0340, 023);
        row("047 inverted shows 023", "common~ 023", 047, 023);
        row("025 unlisted family", "common 023", 025, 025);
        row("025 inverted falls back to complement", "common~ 023", 025, 0752);
        row("empty table inverted returns complement", "common~", 0754, 023);
        for (int s = 3; s <= 10; ++s)
            row(qPrintable(QStringLiteral("empty table, stored %1 is alias").arg(s)), "common", s,
                kAlias[s - 3]);
        row("fewest rotations wins over list order", "common 766 023", 0340, 023);
        row("listed start wins", "common 023 766", 0766, 0766);
        row("bits above 8 of a stored value ignored", "common 446", 0x200 | 3, 0446);
        row("100, stored as 3, reads back as 446", "common 100", 3, 0446);
    }
    void functionsOfOneValue() {
        QFETCH(QString, function);
        QFETCH(int, in);
        QFETCH(int, out);
        const QStringList parts = function.split(u' ');
        const bool inv = parts[0].endsWith(u'~');
        const QString fn = parts[0].chopped(inv ? 1 : 0);
        std::vector<int16_t> table;
        for (const QString& code : parts.mid(1))
            table.push_back(int16_t(code.toInt(nullptr, 8)));
        int32_t got = 0;
        if (fn == "rotations")
            for (int r = 0, w = DCGCalcCodeWord(in); r < 23; ++r, w = DCGShiftLeft(w))
                got |= DCGIsCodeValid(w) << r;
        else
            got = fn == "word"    ? DCGCalcCodeWord(in)
                  : fn == "shift" ? DCGShiftLeft(in)
                  : fn == "valid" ? DCGIsCodeValid(in)
                  : fn == "in"    ? DCGIsCodeInTable(in, table)
                  : fn == "store" ? DCGFindEightBitCode(in, inv)
                                  : DCGFindCommonCode(in, inv, table);
        QCOMPARE(got, out);
    }

    // Over all codes, inverted or not. Every word carries its code and the markers and is a
    // multiple of the generator; 23 rotations bring it back and no fewer do. How many codes
    // cannot be stored; every stored value outside the alias range names a member of the
    // code's own family; and a listed code stored and read back shows itself, except when its
    // stored value falls in 3..10 without coming from an alias: then it is read through the
    // alias code's family.
    void overAllCodes() {
        for (bool inverted : {false, true}) {
            int exceptions = 0, unstorable = 0;
            for (int code = 0; code < 512; ++code) {
                const int32_t word = DCGCalcCodeWord(code);
                QCOMPARE(word & ~0x7FFFFF, 0);
                QCOMPARE(word & 0xFFF, 0x800 | code);
                QCOMPARE(golayRemainder(uint32_t(word)), 0u);
                int32_t w = wordOf(code, inverted);
                for (int r = 1; r <= 23; ++r) {
                    w = DCGShiftLeft(w);
                    QVERIFY2((w == wordOf(code, inverted)) == (r == 23),
                             qPrintable(QString::number(code, 8)));
                }
                const int32_t s = DCGFindEightBitCode(code, inverted);
                QVERIFY(s == 256 || (s >= 0 && s <= 254));
                if (s == 256) {
                    ++unstorable;
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
                const int start = inverted ? (alias ^ 0777) : alias;
                QCOMPARE(shown, family(alias, inverted).contains(code) ? code : start);
            }
            QCOMPARE(unstorable, inverted ? 71 : 29);
            QVERIFY(exceptions > 0);
        }
    }
};

QTEST_APPLESS_MAIN(TestDcg)
#include "tst_dcg.moc"
