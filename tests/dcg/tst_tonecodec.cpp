// Tone bits of a half record in both layouts, and tone entry in the grid.
#include "image/ToneCodec.h"

#include <QRandomGenerator>
#include <QTest>

#include <limits>

using namespace ostrand;

namespace {

constexpr int kChannel1 = 112;  // receive half of channel 1
constexpr int kChannel16 = 120; // record of channel 16

CodecContext context(int radioId, bool invertRx = false, bool invertTx = false) {
    CodecContext ctx;
    ctx.CurRadioID = int16_t(radioId);
    ctx.DCGInvertRx = invertRx;
    ctx.DCGInvertTx = invertTx;
    ctx.DCGList = {023, 0754};
    ctx.CGList = {67.0f, 71.9f, 74.4f};
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
std::array<uint8_t, 8> toneMask(bool deltaS, bool receive) {
    std::array<uint8_t, 8> mask{};
    if (deltaS) {
        mask[0] = receive ? 0x80 : 0x40;
        mask[receive ? 3 : 7] = 0xFF;
    } else {
        mask[receive ? 0 : 4] = 0x90;
        mask[receive ? 3 : 7] = 0xFF;
        mask[6] = receive ? 0 : 0x04;
    }
    return mask;
}

// The DCG flag of a half: byte 0 bit 6 of the record for a Delta-S transmit half.
bool dcgFlag(const EEImage& image, int half, int radioId) {
    const bool receive = half % 8 == 0;
    return (radioId == kDeltaS && !receive) ? image[half - 4] & 0x40 : image[half] & 0x80;
}

using Tones = QList<float>;

} // namespace

class TestToneCodec : public QObject {
    Q_OBJECT
private slots:
    // A tone typed into either half of the first, a middle and the last record, over zeros, ones
    // and random bytes: the tone bits the record holds afterwards (every other bit of the image
    // unchanged), and the text read back whatever the other bits hold.
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
        const int SX = kDeltaSX, S = kDeltaS;
        const Tones std3{67.0f, 71.9f, 74.4f}, none;
        Tones long20;
        for (int i = 0; i < 20; ++i)
            long20 << 60.0f + 10.0f * i;
        const Row rows[] = {
            // Generator settings in the Delta-SX layout.
            {"SX 100.0", SX, true, none, "100.0", "000000c900000000", "100.0"},
            {"SX 71.9 receive takes even adder", SX, true, none, "71.9", "000000e3", "71.8"},
            {"SX 71.9 transmit uses adder bit 0", SX, false, none, "71.9", "00000000000004d3",
             "71.9"},
            {"SX 131.8 transmit keeps first estimate", SX, false, none, "131.8", "00000000000004fd",
             "131.9"},
            {"SX 131.8 receive moves to next mult", SX, true, none, "131.8", "0000000c", "131.6"},
            {"SX 74.9 transmit moves to next mult", SX, false, none, "74.9", "0000000000000003",
             "74.9"},
            {"SX 179.9 sets mult bit 4", SX, true, none, "179.9", "100000d0", "179.9"},
            {"SX above range clamps mult to 18", SX, false, none, "5000.0", "0000000010000072",
             "247.5"},
            {"SX spaces: no tone", SX, false, none, "     ", "", ""},
            {"SX lone point: no tone", SX, false, none, ".", "", ""},
            {"SX negative: no tone", SX, false, none, "-100.0", "", ""},
            {"SX tiny: no tone", SX, true, none, "1e-9.", "", ""},
            {"SX overflowing exponent: no tone", SX, false, none, "1e999.", "", ""},
            // DCG codes (023 and 754 listed): the flag is set even when the code cannot be stored.
            {"SX transmit 023", SX, false, none, "023", "0000000080000031", "023"},
            {"SX 777 unstorable", SX, true, none, "777", "80000000", ""},
            {"SX no octal digit is code 000", SX, true, none, "x", "80000000", ""},
            {"S receive 754", S, true, std3, "754", "800000e3", "754"},
            {"S transmit flag is byte 0 bit 6", S, false, std3, "023", "4000000000000031", "023"},
            // CG tones in the Delta-S layout: the nearest position in the CG list.
            {"S 71.9 is position 2", S, true, std3, "71.9", "00000020", "71.9"},
            {"S 80.0 nearest is position 3", S, false, std3, "80.0", "0000000000000030", "74.4"},
            {"S 100.0 is 25.6 Hz away: no tone", S, true, std3, "100.0", "", ""},
            {"S exactly 20 Hz away: no tone", S, true, {67.0f}, "87.0", "", ""},
            {"S just under 20 Hz away", S, true, {67.0f}, "86.9", "00000010", "67.0"},
            {"S tie keeps the first position",
             S,
             false,
             {70.0f, 74.0f},
             "72.0",
             "0000000000000010",
             "70.0"},
            {"S empty list: no tone", S, false, none, "71.9", "", ""},
            {"S spaces: no tone", S, false, std3, "   ", "", ""},
            {"S position 17 exchanges nibbles", S, true, long20, "220.0", "00000011", "220.0"},
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
        CodecContext ctx = context(radioId);
        ctx.CGList.assign(cgList.cbegin(), cgList.cend());
        const auto mask = toneMask(radioId == kDeltaS, receive);
        for (int base : {0, kChannel1, kChannel16}) {
            const int half = base + (receive ? 0 : 4);
            for (quint32 seed = 0; seed < 12; ++seed) {
                EEImage image = randomImage(seed * 7919u + quint32(base));
                if (seed < 2) image = randomImage(seed);
                EEImage expected = image;
                for (size_t i = 0; i < 8; ++i) {
                    uint8_t& b = expected[size_t(base) + i];
                    b = uint8_t((uint8_t(record[int(i)]) & mask[i]) | (b & ~mask[i]));
                }
                eeEncodeTone(image, half, text, ctx);
                QCOMPARE(hex(image), hex(expected));
                QCOMPARE(EEDecodeTone(image, half, ctx), shown);
            }
        }
    }

    // Decoding record bytes as stored, flags and bits read from their own places.
    void decodeStoredBits_data() {
        QTest::addColumn<int>("radioId");
        QTest::addColumn<int>("offset"); // of the half within the record: 0 or 4
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("shown");
        auto row = [](const char* what, int id, int offset, const char* hex, const char* shown) {
            QTest::newRow(what) << id << offset << QByteArray::fromHex(hex) << QString(shown);
        };
        row("SX tone byte 0 is no tone despite flags", 17, 0, "ff00ff0000000000", "");
        row("SX DCG byte exchanging to FF is no tone", 17, 0, "800000ff00000000", "");
        row("SX receive CG ignores byte 2 bit 2", 17, 0, "000004c900000000", "100.0");
        row("SX transmit flag is byte 4 bit 7", 17, 4, "4000000080000031", "023");
        row("S transmit ignores byte 4 bit 7", 16, 4, "0000000080000020", "71.9");
        row("S position beyond the list is no tone", 16, 0, "0000004000000000", "");
        row("stored alias 3 shows 446", 17, 0, "8000003000000000", "446");
    }
    void decodeStoredBits() {
        QFETCH(int, radioId);
        QFETCH(int, offset);
        QFETCH(QByteArray, record);
        QFETCH(QString, shown);
        EEImage image{};
        std::copy(record.cbegin(), record.cend(), image.begin() + kChannel16);
        QCOMPARE(EEDecodeTone(image, kChannel16 + offset, context(radioId)), shown);
    }

    // An index outside the image (or a Delta-S transmit half without its record byte 0)
    // neither writes nor reads anything.
    void outOfRangeIndexIgnored_data() {
        QTest::addColumn<int>("radioId");
        QTest::addColumn<int>("index");
        for (int id : {kDeltaS, kDeltaSX})
            for (int index : {-1, -8, 125, 128, 256, std::numeric_limits<int>::min(),
                              std::numeric_limits<int>::max()})
                QTest::newRow(qPrintable(QStringLiteral("%1 index %2").arg(id).arg(index)))
                    << id << index;
        for (int index : {1, 3})
            QTest::newRow(qPrintable(QStringLiteral("S transmit %1").arg(index)))
                << int(kDeltaS) << index;
    }
    void outOfRangeIndexIgnored() {
        QFETCH(int, radioId);
        QFETCH(int, index);
        const CodecContext ctx = context(radioId);
        for (const QString& text : {QStringLiteral("023"), QStringLiteral("71.9"), QString()}) {
            EEImage image = randomImage(7);
            const EEImage before = image;
            eeEncodeTone(image, index, text, ctx);
            QCOMPARE(EEDecodeTone(image, index, ctx), QString());
            QCOMPARE(ToneEntry(image, index, text, ctx), QString());
            QCOMPARE(image, before);
        }
    }

    // Leaving a tone field: the text shown afterwards and the bits stored, over random images
    // (so the entry is encoded afresh whatever the half held).
    void toneEntry_data() {
        QTest::addColumn<int>("radioId");
        QTest::addColumn<int>("half");
        QTest::addColumn<bool>("invertRx");
        QTest::addColumn<bool>("invertTx");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("toneByte"); // -1: not checked
        QTest::addColumn<bool>("dcgFlag");
        const int rx1 = kChannel1;
        const int tx16 = kChannel16 + 4;
        struct Row {
            const char* what;
            int id, half;
            bool invRx, invTx;
            const char *typed, *shown;
            int toneByte;
            bool flag;
        };
        const Row rows[] = {
            {"23 becomes 023", 17, rx1, false, false, "23", "023", 0x31, true},
            {"340 becomes 023", 17, rx1, false, false, "340", "023", 0x31, true},
            {"766 becomes 023", 17, rx1, false, false, "766", "023", 0x31, true},
            {"203 becomes 754", 17, rx1, false, false, "203", "754", 0xE3, true},
            {"76 becomes 754", 17, rx1, false, false, "76", "754", 0xE3, true},
            {"047 unlisted family stays", 17, rx1, false, false, "047", "047", 0x72, true},
            {"131.8 is a CG tone", 17, rx1, false, false, "131.8", "131.6", 0x0C, false},
            {"67 without point is DCG 067", 17, rx1, false, false, "67", "067", -1, true},
            {"empty stays empty", 17, rx1, false, false, "", "", 0, false},
            {"9 is code 000, comes back empty", 17, rx1, false, false, "9", "", 0, true},
            {"777 cannot be stored", 17, rx1, false, false, "777", "", 0, true},
            {"12 reads as stored alias 10", 17, rx1, false, false, "12", "526", 0xA0, true},
            {"invert rx: 023 stored as 047", 17, rx1, true, false, "023", "023", 0x72, true},
            {"invert rx: 047 reads back 754", 17, rx1, true, false, "047", "754", 0x31, true},
            {"channel 16 transmit", 17, tx16, false, false, "23", "023", 0x31, true},
            {"transmit uses the transmit box", 17, tx16, false, true, "023", "023", 0x72, true},
            {"receive box does not invert transmit", 17, tx16, true, false, "023", "023", 0x31,
             true},
            {"S: channel 16 transmit", 16, tx16, false, false, "340", "023", 0x31, true},
        };
        for (const Row& r : rows)
            QTest::newRow(r.what) << r.id << r.half << r.invRx << r.invTx << QString(r.typed)
                                  << QString(r.shown) << r.toneByte << r.flag;
    }
    void toneEntry() {
        QFETCH(int, radioId);
        QFETCH(int, half);
        QFETCH(bool, invertRx);
        QFETCH(bool, invertTx);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, toneByte);
        QFETCH(bool, dcgFlag);
        const CodecContext ctx = context(radioId, invertRx, invertTx);
        for (quint32 seed : {42u, 43u}) {
            EEImage image = randomImage(seed);
            QCOMPARE(ToneEntry(image, half, typed, ctx), shown);
            if (toneByte >= 0) QCOMPARE(int(image[half + 3]), toneByte);
            QCOMPARE(::dcgFlag(image, half, radioId), dcgFlag);
            QCOMPARE(EEDecodeTone(image, half, ctx), shown);
        }
    }
};

QTEST_APPLESS_MAIN(TestToneCodec)
#include "tst_tonecodec.moc"
