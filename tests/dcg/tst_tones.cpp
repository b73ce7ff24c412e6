// SPDX-License-Identifier: GPL-3.0-or-later
// DCG code words and the searches over their rotations; the tone bits of a half record in both
// layouts, and tone entry in the grid.
#include "dcg/Dcg.h"
#include "image/ToneCodec.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace ostrand;

namespace {

// Remainder of a word divided by x^11+x^10+x^6+x^5+x^4+x^2+1 over GF(2).
uint32_t GolayRemainder(uint32_t word) {
    for (int bit = 31; bit >= 11; --bit)
        if (word & (1u << bit)) word ^= 0xC75u << (bit - 11);
    return word;
}

int32_t WordOf(int code, bool inverted) {
    const int32_t word = DCGCalcCodeWord(code);
    return inverted ? (word ^ 0x7FFFFF) & 0x7FFFFF : word;
}

// Codes whose words are rotations of the code's (possibly inverted) word, found without the
// library's rotation and validity test: a rotation counts when it is the word of its own code.
QSet<int> Family(int code, bool inverted) {
    int32_t word = WordOf(code, inverted);
    QSet<int> members;
    for (int r = 0; r < 23; ++r) {
        if (DCGCalcCodeWord(word & 0x1FF) == word) members.insert(word & 0x1FF);
        word = ((word << 1) | (word >> 22)) & 0x7FFFFF;
    }
    return members;
}

const int kAlias[8] = {0446, 0447, 0452, 0454, 0455, 0462, 0523, 0526};

constexpr int SX = kDeltaSX, S = kDeltaS;
constexpr int kChannel16 = 120; // record of channel 16; channel 1's is 112

using Tones = QList<float>;
const Tones kStd3{67.0f, 71.9f, 74.4f};

constexpr int kInvRx = 0x100, kInvTx = 0x200; // added to a radio: that DCG invert box checked

// 023 and 754 listed.
CodecContext Context(int radio, const Tones& cg = kStd3) {
    CodecContext ctx;
    ctx.CurRadioID = int16_t(radio & 0xFF);
    ctx.DCGInvertRx = radio & kInvRx;
    ctx.DCGInvertTx = radio & kInvTx;
    ctx.DCGList = {023, 0754};
    ctx.CGList.assign(cg.cbegin(), cg.cend());
    return ctx;
}

// Random bytes, for any seed from 2 on; seed 0 gives all zeros and seed 1 all ones.
EEImage RandomImage(quint32 seed) {
    QRandomGenerator rng(seed);
    EEImage image;
    for (auto& b : image)
        b = seed == 0 ? 0 : seed == 1 ? 0xFF : uint8_t(rng.bounded(256));
    return image;
}

QByteArray Hex(const EEImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), kImageSize).toHex(' ');
}

// Bits of a record that encoding one tone may change, by layout and half.
QByteArray ToneMask(bool deltaS, bool receive) {
    return QByteArray::fromHex(deltaS ? (receive ? "800000ff00000000" : "40000000000000ff")
                                      : (receive ? "900000ff00000000" : "00000000900004ff"));
}

} // namespace

class TestTones : public QObject {
    Q_OBJECT
private slots:
    // The searches for one value: "store" (the 8-bit value stored for a code) or "common" (the
    // code shown for a stored value), with "~" for an inverted search and followed by the DCG
    // table in octal. The code words themselves are checked over all codes below.
    void functionsOfOneValue_data() {
        QTest::addColumn<QString>("function");
        QTest::addColumn<int>("in");
        QTest::addColumn<int>("out");
        const auto row = [](const char* what, const char* fn, int in, int out) {
            QTest::newRow(what) << QString(fn) << in << out;
        };
        row("023 stores 19", "store", 023, 19);
        row("023 inverted stores 047", "store~", 023, 39);
        row("100 stored through 003", "store", 0100, 3);
        row("377 never stores 255", "store", 0377, 140);
        row("777 unstorable", "store", 0777, 256);
        row("340 shows listed 023", "common 023", 0340, 023);
        row("047 inverted shows 023", "common~ 023", 047, 023);
        row("025 inverted falls back to complement", "common~ 023", 025, 0752);
        row("empty table inverted returns complement", "common~", 0754, 023);
        for (int s = 3; s <= 10; ++s)
            row(qPrintable(QStringLiteral("empty table, stored %1 is alias").arg(s)), "common", s,
                kAlias[s - 3]);
        row("fewest rotations wins over list order", "common 766 023", 0340, 023);
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
        QCOMPARE(fn == "store" ? DCGFindEightBitCode(in, inv) : DCGFindCommonCode(in, inv, table),
                 out);
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
                QCOMPARE(GolayRemainder(uint32_t(word)), 0u);
                int32_t w = WordOf(code, inverted);
                for (int r = 1; r <= 23; ++r) {
                    w = DCGShiftLeft(w);
                    QVERIFY2((w == WordOf(code, inverted)) == (r == 23),
                             qPrintable(QString::number(code, 8)));
                }
                const int32_t s = DCGFindEightBitCode(code, inverted);
                QVERIFY(s == 256 || (s >= 0 && s <= 254));
                if (s == 256) {
                    ++unstorable;
                    continue;
                }
                if (s < 3 || s > 10) QVERIFY(Family(code, inverted).contains(s));
                const int32_t shown =
                    DCGFindCommonCode(s, inverted, std::vector<int16_t>{int16_t(code)});
                const int alias = (s >= 3 && s <= 10) ? kAlias[s - 3] : -1;
                if (alias < 0 || Family(code, inverted).contains(alias)) {
                    QVERIFY2(shown == code, qPrintable(QString::number(code, 8)));
                    continue;
                }
                ++exceptions;
                // Read from the alias's family; with nothing of it listed, its start comes back.
                const int start = inverted ? (alias ^ 0777) : alias;
                QCOMPARE(shown, Family(alias, inverted).contains(code) ? code : start);
            }
            QCOMPARE(unstorable, inverted ? 71 : 29);
            QVERIFY(exceptions > 0);
        }
    }

    // A tone typed into either half of the first, a middle and the last record, over zeros, ones
    // and random bytes: the tone bits the record holds afterwards (every other bit of the image
    // unchanged), and the text read back whatever the other bits hold. Without a text, the
    // record as given is only decoded; a text after ">" is typed into the field and left.
    void encodeDecode_data() {
        QTest::addColumn<int>("radioId");
        QTest::addColumn<bool>("receive");
        QTest::addColumn<Tones>("cgList");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("shown");
        struct Row {
            const char* what;
            int id;
            bool rx;
            Tones list;
            const char *text, *record, *shown;
        };
        const Tones none, one{67.0f}, tie{70.0f, 74.0f};
        Tones long20;
        for (int i = 0; i < 20; ++i)
            long20 << 60.0f + 10.0f * i;
        const Row rows[] = {
            {"SX 71.9 tx uses adder bit 0", SX, false, none, "71.9", "00000000000004d3", "71.9"},
            {"SX 131.8 tx keeps estimate", SX, false, none, "131.8", "00000000000004fd", "131.9"},
            {"SX 74.9 tx next mult", SX, false, none, "74.9", "0000000000000003", "74.9"},
            {"SX 179.9 sets mult bit 4", SX, true, none, "179.9", "100000d0", "179.9"},
            {"SX above range clamps mult", SX, false, none, "5000.0", "0000000010000072", "247.5"},
            {"SX negative: no tone", SX, false, none, "-100.0", "", ""},
            {"S receive DCG 754", S, true, kStd3, "754", "800000e3", "754"},
            // CG tones in the Delta-S layout: the nearest position in the CG list.
            {"S 71.9 is position 2", S, true, kStd3, "71.9", "00000020", "71.9"},
            {"S 80.0 nearest is position 3", S, false, kStd3, "80.0", "0000000000000030", "74.4"},
            {"S exactly 20 Hz away: no tone", S, true, one, "87.0", "", ""},
            {"S just under 20 Hz away", S, true, one, "86.9", "00000010", "67.0"},
            {"S tie keeps the first position", S, false, tie, "72.0", "0000000000000010", "70.0"},
            {"S empty list: no tone", S, false, none, "71.9", "", ""},
            {"S position 17 exchanges nibbles", S, true, long20, "220.0", "00000011", "220.0"},
            // Typed into a field and left: a DCG code becomes its listed (common) code.
            {"203 becomes 754", SX, true, kStd3, ">203", "800000e3", "754"},
            {"invert rx: 023 stored as 047", SX | kInvRx, true, kStd3, ">023", "80000072", "023"},
            {"invert rx: 047 reads back 754", SX | kInvRx, true, kStd3, ">047", "80000031", "754"},
            {"tx uses the tx box", SX | kInvTx, false, kStd3, ">023", "0000000080000072", "023"},
            {"rx box leaves tx", SX | kInvRx, false, kStd3, ">023", "0000000080000031", "023"},
            // Record bytes as stored, decoded without encoding: flags and bits in their places.
            {"SX tone byte 0 is no tone despite flags", SX, true, none, nullptr, "ff00ff00", ""},
            {"SX DCG byte exchanging to FF: no tone", SX, true, none, nullptr, "800000ff", ""},
            {"SX receive CG ignores byte 2 bit 2", SX, true, none, nullptr, "000004c9", "100.0"},
            {"SX tx flag is byte 4 bit 7", SX, false, none, nullptr, "4000000080000031", "023"},
            {"S tx ignores byte 4 bit 7", S, false, kStd3, nullptr, "0000000080000020", "71.9"},
            {"S position beyond the list: no tone", S, true, kStd3, nullptr, "00000040", ""},
            {"stored alias 3 shows 446", SX, true, none, nullptr, "80000030", "446"},
        };
        for (const Row& r : rows) // a short record stands for one ending in zeros
            QTest::newRow(r.what) << r.id << r.rx << r.list << QString(r.text)
                                  << QByteArray::fromHex(r.record).leftJustified(8, '\0')
                                  << QString(r.shown);
    }
    void encodeDecode() {
        QFETCH(int, radioId);
        QFETCH(bool, receive);
        QFETCH(Tones, cgList);
        QFETCH(QString, text);
        QFETCH(QByteArray, record);
        QFETCH(QString, shown);
        const CodecContext ctx = Context(radioId, cgList);
        const int offset = receive ? 0 : 4;
        if (text.isNull()) {
            EEImage image{};
            std::copy(record.cbegin(), record.cend(), image.begin() + kChannel16);
            QCOMPARE(EEDecodeTone(image, kChannel16 + offset, ctx), shown);
            return;
        }
        const auto mask = ToneMask((radioId & 0xFF) == S, receive);
        for (int base : {0, 112, kChannel16}) {
            const int half = base + offset;
            for (quint32 seed = 0; seed < 12; ++seed) {
                EEImage image = RandomImage(seed < 2 ? seed : seed * 7919u + quint32(base));
                EEImage expected = image;
                for (size_t i = 0; i < 8; ++i) {
                    uint8_t& b = expected[size_t(base) + i];
                    b = uint8_t((record[int(i)] & mask[int(i)]) | (b & ~mask[int(i)]));
                }
                if (text.startsWith(u'>'))
                    QCOMPARE(ToneEntry(image, half, text.mid(1), ctx), shown);
                else
                    eeEncodeTone(image, half, text, ctx);
                QCOMPARE(Hex(image), Hex(expected));
                QCOMPARE(EEDecodeTone(image, half, ctx), shown);
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestTones)
#include "tst_tones.moc"
