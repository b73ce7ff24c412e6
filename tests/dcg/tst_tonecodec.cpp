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

EEImage randomImage(quint32 seed) {
    QRandomGenerator rng(seed);
    EEImage image;
    for (auto& b : image)
        b = uint8_t(rng.bounded(256));
    return image;
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

void sxRow(const char* what, bool rx, const char* text, int toneByte, bool mult4, bool adder0,
           const char* shown) {
    QTest::newRow(what) << rx << QString(text) << toneByte << mult4 << adder0 << QString(shown);
}

using Tones = QList<float>;

void listRow(const char* what, const Tones& list, bool rx, const char* text, int toneByte,
             const char* shown) {
    QTest::newRow(what) << list << rx << QString(text) << toneByte << QString(shown);
}

} // namespace

class TestToneCodec : public QObject {
    Q_OBJECT
private slots:
    void generatorTone_data() {
        QTest::addColumn<int>("mult");
        QTest::addColumn<int>("adder");
        QTest::addColumn<double>("tone");
        QTest::newRow("9, 24 is 100 Hz") << 9 << 24 << 100.0;
        QTest::newRow("1, 14 is 67.02 Hz") << 1 << 14 << 67.02;
        QTest::newRow("18, 12 is 250 Hz") << 18 << 12 << 250.0;
    }
    void generatorTone() {
        QFETCH(int, mult);
        QFETCH(int, adder);
        QFETCH(double, tone);
        QVERIFY(std::fabs(CTCSSToneCalc(int16_t(mult), int16_t(adder)) - tone) < 0.005);
    }

    // CG tones in the Delta-SX layout: generator settings written, and the tone read back.
    void generatorSettings_data() {
        QTest::addColumn<bool>("receive");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("toneByte");
        QTest::addColumn<bool>("multBit4");
        QTest::addColumn<bool>("adderBit0");
        QTest::addColumn<QString>("shown");
        sxRow("100.0 receive", true, "100.0", 0xC9, false, false, "100.0");
        sxRow("100.0 transmit", false, "100.0", 0xC9, false, false, "100.0");
        sxRow("71.9 receive takes even adder", true, "71.9", 0xE3, false, false, "71.8");
        sxRow("71.9 transmit uses adder bit 0", false, "71.9", 0xD3, false, true, "71.9");
        sxRow("131.8 transmit keeps first estimate", false, "131.8", 0xFD, false, true, "131.9");
        sxRow("131.8 receive moves to next mult", true, "131.8", 0x0C, false, false, "131.6");
        sxRow("74.9 transmit moves to next mult", false, "74.9", 0x03, false, false, "74.9");
        sxRow("179.9 sets mult bit 4", true, "179.9", 0xD0, true, false, "179.9");
        sxRow("above range clamps mult to 18", false, "5000.0", 0x72, true, false, "247.5");
        sxRow("spaces are no tone", false, "     ", 0, false, false, "");
        sxRow("lone point reads 0: no tone", false, ".", 0, false, false, "");
        sxRow("negative: no tone", false, "-100.0", 0, false, false, "");
        sxRow("tiny: no tone", true, "1e-9.", 0, false, false, "");
        sxRow("overflowing exponent: no tone", false, "1e999.", 0, false, false, "");
    }
    void generatorSettings() {
        QFETCH(bool, receive);
        QFETCH(QString, text);
        QFETCH(int, toneByte);
        QFETCH(bool, multBit4);
        QFETCH(bool, adderBit0);
        QFETCH(QString, shown);
        const CodecContext ctx = context(kDeltaSX);
        const int half = receive ? kChannel1 : kChannel1 + 4;
        for (uint8_t fill : {0x00, 0xFF}) {
            EEImage image;
            image.fill(fill);
            eeEncodeTone(image, half, text, ctx);
            QCOMPARE(int(image[half + 3]), toneByte);
            QVERIFY(!dcgFlag(image, half, kDeltaSX));
            QCOMPARE(bool(image[half] & 0x10), multBit4);
            if (!receive) QCOMPARE(bool(image[half + 2] & 0x04), adderBit0);
            QCOMPARE(EEDecodeTone(image, half, ctx), shown);
        }
    }

    // DCG codes, stored alike in both layouts and halves.
    void dcgTone_data() {
        QTest::addColumn<int>("radioId");
        QTest::addColumn<bool>("receive");
        QTest::addColumn<bool>("inverted");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("toneByte");
        QTest::addColumn<QString>("shown");
        for (int id : {kDeltaSX, kDeltaS}) {
            for (bool rx : {true, false}) {
                const QString tag =
                    QStringLiteral("%1 %2: ").arg(id == kDeltaS ? "S" : "SX", rx ? "rx" : "tx");
                auto row = [&](const char* what, bool inv, const char* text, int byte,
                               const char* shown) {
                    QTest::newRow(qPrintable(tag + what))
                        << id << rx << inv << QString(text) << byte << QString(shown);
                };
                row("023", false, "023", 0x31, "023");
                row("023 inverted stores 047", true, "023", 0x72, "023");
                row("754 stores 076", false, "754", 0xE3, "754");
                row("777 unstorable", false, "777", 0, "");
                row("no octal digit is code 000", false, "x", 0, "");
                row("unlisted 025 reads back as itself", false, "25", 0x51, "025");
            }
        }
    }
    void dcgTone() {
        QFETCH(int, radioId);
        QFETCH(bool, receive);
        QFETCH(bool, inverted);
        QFETCH(QString, text);
        QFETCH(int, toneByte);
        QFETCH(QString, shown);
        const CodecContext ctx = context(radioId, receive && inverted, !receive && inverted);
        const int half = receive ? kChannel1 : kChannel1 + 4;
        for (uint8_t fill : {0x00, 0xFF}) {
            EEImage image;
            image.fill(fill);
            eeEncodeTone(image, half, text, ctx);
            QCOMPARE(int(image[half + 3]), toneByte);
            QVERIFY(dcgFlag(image, half, radioId)); // set even when the code cannot be stored
            if (radioId == kDeltaSX) QCOMPARE(image[half] & 0x10, 0);
            if (radioId == kDeltaSX && !receive) QCOMPARE(image[half + 2] & 0x04, 0);
            QCOMPARE(EEDecodeTone(image, half, ctx), shown);
        }
    }

    // CG tones in the Delta-S layout: the nearest position in the CG list.
    void cgListPosition_data() {
        QTest::addColumn<Tones>("list");
        QTest::addColumn<bool>("receive");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("toneByte");
        QTest::addColumn<QString>("shown");
        const Tones std3{67.0f, 71.9f, 74.4f};
        listRow("71.9 is position 2", std3, true, "71.9", 0x20, "71.9");
        listRow("80.0 nearest is position 3", std3, false, "80.0", 0x30, "74.4");
        listRow("100.0 is 25.6 Hz away: no tone", std3, true, "100.0", 0, "");
        listRow("exactly 20 Hz away: no tone", {67.0f}, true, "87.0", 0, "");
        listRow("just under 20 Hz away", {67.0f}, true, "86.9", 0x10, "67.0");
        listRow("tie keeps the first position", {70.0f, 74.0f}, false, "72.0", 0x10, "70.0");
        listRow("empty list: no tone", {}, false, "71.9", 0, "");
        listRow("spaces: no tone", std3, false, "   ", 0, "");
        Tones long20;
        for (int i = 0; i < 20; ++i)
            long20 << 60.0f + 10.0f * i;
        listRow("position 17 exchanges nibbles", long20, true, "220.0", 0x11, "220.0");
    }
    void cgListPosition() {
        QFETCH(Tones, list);
        QFETCH(bool, receive);
        QFETCH(QString, text);
        QFETCH(int, toneByte);
        QFETCH(QString, shown);
        CodecContext ctx = context(kDeltaS);
        ctx.CGList.assign(list.cbegin(), list.cend());
        const int half = receive ? kChannel1 : kChannel1 + 4;
        for (uint8_t fill : {0x00, 0xFF}) {
            EEImage image;
            image.fill(fill);
            eeEncodeTone(image, half, text, ctx);
            QCOMPARE(int(image[half + 3]), toneByte);
            QVERIFY(!dcgFlag(image, half, kDeltaS));
            QCOMPARE(EEDecodeTone(image, half, ctx), shown);
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
        row("SX transmit CG reads adder bit 0", 17, 4, "00000000000004d3", "71.9");
        row("SX transmit flag is byte 4 bit 7", 17, 4, "4000000080000031", "023");
        row("SX mult bit 4 from byte 0", 17, 0, "100000d000000000", "179.9");
        row("S transmit flag is byte 0 bit 6", 16, 4, "4000000000000031", "023");
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

    // Random bytes around the tone bits: only the tone bits of the half may change, and the
    // half reads back the same whatever the other bits hold.
    void otherBitsUnchanged_data() {
        QTest::addColumn<int>("radioId");
        QTest::addColumn<int>("half");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        // Texts with what the half shows afterwards: receive, transmit.
        const QList<std::array<QString, 3>> sx{{"71.9", "71.8", "71.9"},
                                               {"179.9", "179.9", "179.9"},
                                               {"023", "023", "023"},
                                               {"777", "", ""},
                                               {"", "", ""},
                                               {"-5.", "", ""}};
        const QList<std::array<QString, 3>> s{
            {"71.9", "71.9", "71.9"}, {"100.0", "", ""}, {"754", "754", "754"}, {"", "", ""}};
        for (int half : {0, 4, kChannel1, kChannel1 + 4, kChannel16, kChannel16 + 4}) {
            const int rx = half % 8 == 0 ? 1 : 2;
            for (const auto& t : sx)
                QTest::newRow(qPrintable(QStringLiteral("SX %1 '%2'").arg(half).arg(t[0])))
                    << int(kDeltaSX) << half << t[0] << t[rx];
            for (const auto& t : s)
                QTest::newRow(qPrintable(QStringLiteral("S %1 '%2'").arg(half).arg(t[0])))
                    << int(kDeltaS) << half << t[0] << t[rx];
        }
    }
    void otherBitsUnchanged() {
        QFETCH(int, radioId);
        QFETCH(int, half);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        const CodecContext ctx = context(radioId);
        const int record = half & ~7;
        const auto mask = toneMask(radioId == kDeltaS, half % 8 == 0);
        for (quint32 seed = 1; seed <= 25; ++seed) {
            const EEImage before = randomImage(seed * 7919u + quint32(half));
            EEImage after = before;
            eeEncodeTone(after, half, text, ctx);
            for (int i = 0; i < kImageSize; ++i) {
                const bool inRecord = i >= record && i < record + 8;
                const uint8_t allowed = inRecord ? mask[size_t(i - record)] : 0;
                QVERIFY2(((before[i] ^ after[i]) & ~allowed) == 0,
                         qPrintable(QStringLiteral("byte %1").arg(i)));
            }
            QCOMPARE(EEDecodeTone(after, half, ctx), shown);
        }
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
            {"S: CG list tone", 16, tx16, false, false, "72.0", "71.9", 0x20, false},
            {"S: spaces stay no tone", 16, tx16, false, false, "  ", "", 0, false},
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
