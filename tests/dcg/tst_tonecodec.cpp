// Tone bits of a half record in both layouts, and tone entry in the grid.
#include "image/ToneCodec.h"

#include <QRandomGenerator>
#include <QTest>

#include <limits>

using namespace ostrand;

namespace {

constexpr int SX = kDeltaSX, S = kDeltaS;
constexpr int kChannel16 = 120; // record of channel 16; channel 1's is 112

using Tones = QList<float>;
const Tones kStd3{67.0f, 71.9f, 74.4f};

constexpr int kInvRx = 0x100, kInvTx = 0x200; // added to a radio: that DCG invert box checked

// 023 and 754 listed.
CodecContext context(int radio, const Tones& cg = kStd3) {
    CodecContext ctx;
    ctx.CurRadioID = int16_t(radio & 0xFF);
    ctx.DCGInvertRx = radio & kInvRx;
    ctx.DCGInvertTx = radio & kInvTx;
    ctx.DCGList = {023, 0754};
    ctx.CGList.assign(cg.cbegin(), cg.cend());
    return ctx;
}

// Random bytes, for any seed from 2 on; seed 0 gives all zeros and seed 1 all ones.
EEImage randomImage(quint32 seed) {
    QRandomGenerator rng(seed);
    EEImage image;
    for (auto& b : image)
        b = seed == 0 ? 0 : seed == 1 ? 0xFF : uint8_t(rng.bounded(256));
    return image;
}

QByteArray hex(const EEImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), kImageSize).toHex(' ');
}

// Bits of a record that encoding one tone may change, by layout and half.
QByteArray toneMask(bool deltaS, bool receive) {
    return QByteArray::fromHex(deltaS ? (receive ? "800000ff00000000" : "40000000000000ff")
                                      : (receive ? "900000ff00000000" : "00000000900004ff"));
}

} // namespace

class TestToneCodec : public QObject {
    Q_OBJECT
private slots:
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
            {"SX 100.0", SX, true, none, "100.0", "000000c900000000", "100.0"},
            {"SX 71.9 receive takes even adder", SX, true, none, "71.9", "000000e3", "71.8"},
            {"SX 71.9 tx uses adder bit 0", SX, false, none, "71.9", "00000000000004d3", "71.9"},
            {"SX 131.8 tx keeps estimate", SX, false, none, "131.8", "00000000000004fd", "131.9"},
            {"SX 74.9 tx next mult", SX, false, none, "74.9", "0000000000000003", "74.9"},
            {"SX 179.9 sets mult bit 4", SX, true, none, "179.9", "100000d0", "179.9"},
            {"SX above range clamps mult", SX, false, none, "5000.0", "0000000010000072", "247.5"},
            {"SX spaces: no tone", SX, false, none, "     ", "", ""},
            {"SX lone point: no tone", SX, false, none, ".", "", ""},
            {"SX negative: no tone", SX, false, none, "-100.0", "", ""},
            {"SX tiny: no tone", SX, true, none, "1e-9.", "", ""},
            {"SX overflowing exponent: no tone", SX, false, none, "1e999.", "", ""},
            {"S receive DCG 754", S, true, kStd3, "754", "800000e3", "754"},
            // CG tones in the Delta-S layout: the nearest position in the CG list.
            {"S 71.9 is position 2", S, true, kStd3, "71.9", "00000020", "71.9"},
            {"S 80.0 nearest is position 3", S, false, kStd3, "80.0", "0000000000000030", "74.4"},
            {"S 100.0 is 25.6 Hz away: no tone", S, true, kStd3, "100.0", "", ""},
            {"S exactly 20 Hz away: no tone", S, true, one, "87.0", "", ""},
            {"S just under 20 Hz away", S, true, one, "86.9", "00000010", "67.0"},
            {"S tie keeps the first position", S, false, tie, "72.0", "0000000000000010", "70.0"},
            {"S empty list: no tone", S, false, none, "71.9", "", ""},
            {"S spaces: no tone", S, false, kStd3, "   ", "", ""},
            {"S position 17 exchanges nibbles", S, true, long20, "220.0", "00000011", "220.0"},
            // Typed into a field and left: a DCG code becomes its listed (common) code; one that
            // cannot be stored keeps the DCG flag.
            {"23 becomes 023", SX, true, kStd3, ">23", "80000031", "023"},
            {"340 becomes 023", SX, true, kStd3, ">340", "80000031", "023"},
            {"766 becomes 023", SX, true, kStd3, ">766", "80000031", "023"},
            {"203 becomes 754", SX, true, kStd3, ">203", "800000e3", "754"},
            {"76 becomes 754", SX, true, kStd3, ">76", "800000e3", "754"},
            {"047 unlisted family stays", SX, true, kStd3, ">047", "80000072", "047"},
            {"131.8 receive: CG, next mult", SX, true, kStd3, ">131.8", "0000000c", "131.6"},
            {"67 without point is DCG 067", SX, true, kStd3, ">67", "80000073", "067"},
            {"empty stays empty", SX, true, kStd3, ">", "", ""},
            {"9 is code 000, read back empty", SX, true, kStd3, ">9", "80000000", ""},
            {"777 cannot be stored", SX, true, kStd3, ">777", "80000000", ""},
            {"12 reads as stored alias 10", SX, true, kStd3, ">12", "800000a0", "526"},
            {"invert rx: 023 stored as 047", SX | kInvRx, true, kStd3, ">023", "80000072", "023"},
            {"invert rx: 047 reads back 754", SX | kInvRx, true, kStd3, ">047", "80000031", "754"},
            {"transmit entry", SX, false, kStd3, ">23", "0000000080000031", "023"},
            {"tx uses the tx box", SX | kInvTx, false, kStd3, ">023", "0000000080000072", "023"},
            {"rx box leaves tx", SX | kInvRx, false, kStd3, ">023", "0000000080000031", "023"},
            {"S transmit entry", S, false, kStd3, ">340", "4000000000000031", "023"},
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
        const CodecContext ctx = context(radioId, cgList);
        const int offset = receive ? 0 : 4;
        if (text.isNull()) {
            EEImage image{};
            std::copy(record.cbegin(), record.cend(), image.begin() + kChannel16);
            QCOMPARE(EEDecodeTone(image, kChannel16 + offset, ctx), shown);
            return;
        }
        const auto mask = toneMask((radioId & 0xFF) == S, receive);
        for (int base : {0, 112, kChannel16}) {
            const int half = base + offset;
            for (quint32 seed = 0; seed < 12; ++seed) {
                EEImage image = randomImage(seed < 2 ? seed : seed * 7919u + quint32(base));
                EEImage expected = image;
                for (size_t i = 0; i < 8; ++i) {
                    uint8_t& b = expected[size_t(base) + i];
                    b = uint8_t((record[int(i)] & mask[int(i)]) | (b & ~mask[int(i)]));
                }
                if (text.startsWith(u'>'))
                    QCOMPARE(ToneEntry(image, half, text.mid(1), ctx), shown);
                else
                    eeEncodeTone(image, half, text, ctx);
                QCOMPARE(hex(image), hex(expected));
                QCOMPARE(EEDecodeTone(image, half, ctx), shown);
            }
        }
    }

    // An index outside the image (or a Delta-S transmit half without its record byte 0)
    // neither writes nor reads anything.
    void outOfRangeIndexIgnored() {
        const int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
        for (int id : {S, SX})
            for (int index : {-1, -8, 125, 128, 256, lo, hi, 1, 3}) {
                if (id == SX && (index == 1 || index == 3)) continue;
                const CodecContext ctx = context(id);
                for (const QString text : {"023", "71.9", ""}) {
                    EEImage image = randomImage(7);
                    const EEImage before = image;
                    eeEncodeTone(image, index, text, ctx);
                    const QString read =
                        EEDecodeTone(image, index, ctx) + ToneEntry(image, index, text, ctx);
                    QVERIFY2(read.isEmpty() && image == before, qPrintable(QString::number(index)));
                }
            }
    }
};

QTEST_APPLESS_MAIN(TestToneCodec)
#include "tst_tonecodec.moc"
