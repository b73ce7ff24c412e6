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

EEImage filled(uint8_t value) {
    EEImage image;
    image.fill(value);
    return image;
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
    } else if (receive) {
        mask[0] = 0x90;
        mask[3] = 0xFF;
    } else {
        mask[4] = 0x90;
        mask[6] = 0x04;
        mask[7] = 0xFF;
    }
    return mask;
}

} // namespace

class TestToneCodec : public QObject {
    Q_OBJECT
private slots:
    void generatorTone_data();
    void generatorTone();
    void generatorSettings_data();
    void generatorSettings();
    void dcgTone_data();
    void dcgTone();
    void cgListPosition_data();
    void cgListPosition();
    void decodeStoredBits_data();
    void decodeStoredBits();
    void otherBitsUnchanged_data();
    void otherBitsUnchanged();
    void deltaSTransmitTouchesOnlyBytes0And7_data();
    void deltaSTransmitTouchesOnlyBytes0And7();
    void outOfRangeIndexIgnored_data();
    void outOfRangeIndexIgnored();
    void toneEntry_data();
    void toneEntry();
    void toneEntryReencodesUnchangedField();
};

void TestToneCodec::generatorTone_data() {
    QTest::addColumn<int>("mult");
    QTest::addColumn<int>("adder");
    QTest::addColumn<double>("tone");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("9, 24 is 100 Hz") << 9 << 24 << 100.0 << 0.0;
    QTest::newRow("1, 14 is 67.02 Hz") << 1 << 14 << 67.02 << 0.005;
    QTest::newRow("18, 12 is 250 Hz") << 18 << 12 << 250.0 << 0.0;
    QTest::newRow("3, 28 is 71.8 Hz") << 3 << 28 << 71.839 << 0.001;
}

void TestToneCodec::generatorTone() {
    QFETCH(int, mult);
    QFETCH(int, adder);
    QFETCH(double, tone);
    QFETCH(double, tolerance);
    const double got = CTCSSToneCalc(int16_t(mult), int16_t(adder));
    if (tolerance == 0)
        QCOMPARE(float(got), float(tone));
    else
        QVERIFY2(std::fabs(got - tone) <= tolerance, qPrintable(QString::number(got, 'f', 6)));
}

void TestToneCodec::generatorSettings_data() {
    QTest::addColumn<bool>("receive");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("toneByte");
    QTest::addColumn<bool>("multBit4");
    QTest::addColumn<bool>("adderBit0");
    QTest::addColumn<QString>("shown");
    QTest::newRow("100.0 receive") << true << "100.0" << 0xC9 << false << false << "100.0";
    QTest::newRow("100.0 transmit") << false << "100.0" << 0xC9 << false << false << "100.0";
    QTest::newRow("71.9 receive takes even adder")
        << true << "71.9" << 0xE3 << false << false << "71.8";
    QTest::newRow("71.9 transmit uses adder bit 0")
        << false << "71.9" << 0xD3 << false << true << "71.9";
    QTest::newRow("131.8 transmit keeps first estimate")
        << false << "131.8" << 0xFD << false << true << "131.9";
    QTest::newRow("131.8 receive moves to next mult")
        << true << "131.8" << 0x0C << false << false << "131.6";
    QTest::newRow("74.9 receive moves to next mult")
        << true << "74.9" << 0x03 << false << false << "74.9";
    QTest::newRow("74.9 transmit moves to next mult")
        << false << "74.9" << 0x03 << false << false << "74.9";
    QTest::newRow("179.9 receive sets mult bit 4")
        << true << "179.9" << 0xD0 << true << false << "179.9";
    QTest::newRow("179.9 transmit sets mult bit 4")
        << false << "179.9" << 0xD0 << true << false << "179.9";
    QTest::newRow("above range clamps mult to 18")
        << false << "5000.0" << 0x72 << true << false << "247.5";
    QTest::newRow("blanks inside are ignored")
        << true << " 1 00.0" << 0xC9 << false << false << "100.0";
    QTest::newRow("trailing text ignored")
        << false << "100.0Hz" << 0xC9 << false << false << "100.0";
    QTest::newRow("empty is no tone") << false << "" << 0 << false << false << "";
    QTest::newRow("spaces are no tone") << false << "     " << 0 << false << false << "";
    QTest::newRow("lone point reads 0: no tone") << false << "." << 0 << false << false << "";
    QTest::newRow("zero: no tone") << true << "0.0" << 0 << false << false << "";
    QTest::newRow("negative: no tone") << false << "-100.0" << 0 << false << false << "";
    QTest::newRow("tiny: no tone") << true << "1e-9." << 0 << false << false << "";
    QTest::newRow("overflowing exponent: no tone")
        << false << "1e999." << 0 << false << false << "";
}

void TestToneCodec::generatorSettings() {
    QFETCH(bool, receive);
    QFETCH(QString, text);
    QFETCH(int, toneByte);
    QFETCH(bool, multBit4);
    QFETCH(bool, adderBit0);
    QFETCH(QString, shown);
    const CodecContext ctx = context(kDeltaSX);
    const int half = receive ? kChannel1 : kChannel1 + 4;
    for (uint8_t fill : {uint8_t(0x00), uint8_t(0xFF)}) {
        EEImage image = filled(fill);
        eeEncodeTone(image, half, text, ctx);
        QCOMPARE(int(image[half + 3]), toneByte);
        QCOMPARE(bool(image[half] & 0x80), false); // a CG tone or none clears the DCG flag
        QCOMPARE(bool(image[half] & 0x10), multBit4);
        if (!receive) QCOMPARE(bool(image[half + 2] & 0x04), adderBit0);
        QCOMPARE(EEDecodeTone(image, half, ctx), shown);
    }
}

void TestToneCodec::dcgTone_data() {
    QTest::addColumn<int>("radioId");
    QTest::addColumn<bool>("receive");
    QTest::addColumn<bool>("inverted");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("toneByte");
    QTest::addColumn<QString>("shown");
    for (int id : {int(kDeltaSX), int(kDeltaS)}) {
        for (bool rx : {true, false}) {
            const QString tag =
                QStringLiteral("%1 %2: ").arg(id == kDeltaS ? "S" : "SX", rx ? "rx" : "tx");
            QTest::newRow(qPrintable(tag + "023")) << id << rx << false << "023" << 0x31 << "023";
            QTest::newRow(qPrintable(tag + "023 inverted stores 047"))
                << id << rx << true << "023" << 0x72 << "023";
            QTest::newRow(qPrintable(tag + "777 unstorable"))
                << id << rx << false << "777" << 0 << "";
            QTest::newRow(qPrintable(tag + "754 stores 076"))
                << id << rx << false << "754" << 0xE3 << "754";
            QTest::newRow(qPrintable(tag + "blanks inside octal"))
                << id << rx << false << " 0 23" << 0x31 << "023";
            QTest::newRow(qPrintable(tag + "no octal digit is code 000"))
                << id << rx << false << "x" << 0 << "";
            QTest::newRow(qPrintable(tag + "unlisted 025 reads back as itself"))
                << id << rx << false << "25" << -1 << "025";
        }
    }
}

void TestToneCodec::dcgTone() {
    QFETCH(int, radioId);
    QFETCH(bool, receive);
    QFETCH(bool, inverted);
    QFETCH(QString, text);
    QFETCH(int, toneByte);
    QFETCH(QString, shown);
    const CodecContext ctx = context(radioId, receive && inverted, !receive && inverted);
    const int half = receive ? kChannel1 : kChannel1 + 4;
    const bool deltaS = radioId == kDeltaS;
    for (uint8_t fill : {uint8_t(0x00), uint8_t(0xFF)}) {
        EEImage image = filled(fill);
        eeEncodeTone(image, half, text, ctx);
        if (toneByte >= 0) QCOMPARE(int(image[half + 3]), toneByte);
        // The DCG flag is set even when the code cannot be stored.
        const bool flag = (deltaS && !receive) ? (image[kChannel1] & 0x40) : (image[half] & 0x80);
        QVERIFY(flag);
        if (!deltaS) {
            QVERIFY(!(image[half] & 0x10));
            if (!receive) QVERIFY(!(image[half + 2] & 0x04));
        }
        QCOMPARE(EEDecodeTone(image, half, ctx), shown);
    }
}

void TestToneCodec::cgListPosition_data() {
    QTest::addColumn<QList<float>>("list");
    QTest::addColumn<bool>("receive");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("toneByte");
    QTest::addColumn<QString>("shown");
    const QList<float> std3{67.0f, 71.9f, 74.4f};
    QTest::newRow("71.9 is position 2") << std3 << true << "71.9" << 0x20 << "71.9";
    QTest::newRow("71.9 transmit") << std3 << false << "71.9" << 0x20 << "71.9";
    QTest::newRow("80.0 nearest is position 3") << std3 << false << "80.0" << 0x30 << "74.4";
    QTest::newRow("100.0 is 25.6 Hz away: no tone") << std3 << true << "100.0" << 0 << "";
    QTest::newRow("exactly 20 Hz away: no tone")
        << QList<float>{67.0f} << true << "87.0" << 0 << "";
    QTest::newRow("just under 20 Hz away")
        << QList<float>{67.0f} << true << "86.9" << 0x10 << "67.0";
    QTest::newRow("tie keeps the first position")
        << QList<float>{70.0f, 74.0f} << true << "72.0" << 0x10 << "70.0";
    QTest::newRow("empty list: no tone") << QList<float>{} << false << "71.9" << 0 << "";
    QTest::newRow("spaces: no tone") << std3 << false << "   " << 0 << "";
    QList<float> long20;
    for (int i = 0; i < 20; ++i)
        long20 << 60.0f + 10.0f * i;
    QTest::newRow("position 17 exchanges nibbles") << long20 << true << "220.0" << 0x11 << "220.0";
}

void TestToneCodec::cgListPosition() {
    QFETCH(QList<float>, list);
    QFETCH(bool, receive);
    QFETCH(QString, text);
    QFETCH(int, toneByte);
    QFETCH(QString, shown);
    CodecContext ctx = context(kDeltaS);
    ctx.CGList.assign(list.cbegin(), list.cend());
    const int half = receive ? kChannel1 : kChannel1 + 4;
    for (uint8_t fill : {uint8_t(0x00), uint8_t(0xFF)}) {
        EEImage image = filled(fill);
        eeEncodeTone(image, half, text, ctx);
        QCOMPARE(int(image[half + 3]), toneByte);
        QVERIFY(!(image[kChannel1] & (receive ? 0x80 : 0x40)));
        QCOMPARE(EEDecodeTone(image, half, ctx), shown);
    }
}

void TestToneCodec::decodeStoredBits_data() {
    QTest::addColumn<int>("radioId");
    QTest::addColumn<int>("offset"); // of the half within the record: 0 or 4
    QTest::addColumn<QList<int>>("record");
    QTest::addColumn<QString>("shown");
    QTest::newRow("SX tone byte 0 is no tone despite flags")
        << 17 << 0 << QList<int>{0xFF, 0, 0xFF, 0x00, 0, 0, 0, 0} << "";
    QTest::newRow("SX DCG byte exchanging to FF is no tone")
        << 17 << 0 << QList<int>{0x80, 0, 0, 0xFF, 0, 0, 0, 0} << "";
    QTest::newRow("SX receive CG ignores byte 2 bit 2")
        << 17 << 0 << QList<int>{0x00, 0, 0x04, 0xC9, 0, 0, 0, 0} << "100.0";
    QTest::newRow("SX transmit CG reads adder bit 0")
        << 17 << 4 << QList<int>{0, 0, 0, 0, 0x00, 0, 0x04, 0xD3} << "71.9";
    QTest::newRow("SX transmit flag is byte 4 bit 7")
        << 17 << 4 << QList<int>{0x40, 0, 0, 0, 0x80, 0, 0, 0x31} << "023";
    QTest::newRow("SX mult bit 4 from byte 0")
        << 17 << 0 << QList<int>{0x10, 0, 0, 0xD0, 0, 0, 0, 0} << "179.9";
    QTest::newRow("S transmit flag is byte 0 bit 6")
        << 16 << 4 << QList<int>{0x40, 0, 0, 0, 0x00, 0, 0, 0x31} << "023";
    QTest::newRow("S transmit ignores byte 4 bit 7")
        << 16 << 4 << QList<int>{0x00, 0, 0, 0, 0x80, 0, 0, 0x20} << "71.9";
    QTest::newRow("S receive flag is byte 0 bit 7")
        << 16 << 0 << QList<int>{0x80, 0, 0, 0x31, 0, 0, 0, 0} << "023";
    QTest::newRow("S position beyond the list is no tone")
        << 16 << 0 << QList<int>{0x00, 0, 0, 0x40, 0, 0, 0, 0} << "";
    QTest::newRow("S position 1") << 16 << 4 << QList<int>{0, 0, 0, 0, 0, 0, 0, 0x10} << "67.0";
    QTest::newRow("stored alias 3 shows 446")
        << 17 << 0 << QList<int>{0x80, 0, 0, 0x30, 0, 0, 0, 0} << "446";
}

void TestToneCodec::decodeStoredBits() {
    QFETCH(int, radioId);
    QFETCH(int, offset);
    QFETCH(QList<int>, record);
    QFETCH(QString, shown);
    EEImage image = filled(0);
    for (int i = 0; i < 8; ++i)
        image[kChannel16 + i] = uint8_t(record[i]);
    QCOMPARE(EEDecodeTone(image, kChannel16 + offset, context(radioId)), shown);
}

void TestToneCodec::otherBitsUnchanged_data() {
    QTest::addColumn<int>("radioId");
    QTest::addColumn<int>("half");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    const QList<int> halves{0, 4, kChannel1, kChannel1 + 4, kChannel16, kChannel16 + 4};
    // Texts with what the half shows afterwards: receive, transmit.
    const QList<std::array<QString, 3>> sx{{"100.0", "100.0", "100.0"},
                                           {"71.9", "71.8", "71.9"},
                                           {"131.8", "131.6", "131.9"},
                                           {"179.9", "179.9", "179.9"},
                                           {"023", "023", "023"},
                                           {"777", "", ""},
                                           {"", "", ""},
                                           {"-5.", "", ""}};
    const QList<std::array<QString, 3>> s{{"71.9", "71.9", "71.9"},
                                          {"100.0", "", ""},
                                          {"754", "754", "754"},
                                          {"", "", ""},
                                          {"47", "047", "047"}};
    for (int half : halves) {
        const int rx = half % 8 == 0 ? 1 : 2;
        for (const auto& t : sx)
            QTest::newRow(qPrintable(QStringLiteral("SX %1 '%2'").arg(half).arg(t[0])))
                << 17 << half << t[0] << t[rx];
        for (const auto& t : s)
            QTest::newRow(qPrintable(QStringLiteral("S %1 '%2'").arg(half).arg(t[0])))
                << 16 << half << t[0] << t[rx];
    }
}

// Random bytes around the tone bits: only the tone bits of the half may change, and the half
// reads back the same whatever the other bits hold.
void TestToneCodec::otherBitsUnchanged() {
    QFETCH(int, radioId);
    QFETCH(int, half);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    const CodecContext ctx = context(radioId);
    const bool receive = half % 8 == 0;
    const int record = half & ~7;
    const auto mask = toneMask(radioId == kDeltaS, receive);
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

void TestToneCodec::deltaSTransmitTouchesOnlyBytes0And7_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("flag");
    QTest::newRow("DCG sets byte 0 bit 6") << "023" << true;
    QTest::newRow("CG clears byte 0 bit 6") << "74.4" << false;
    QTest::newRow("none clears byte 0 bit 6") << "" << false;
}

void TestToneCodec::deltaSTransmitTouchesOnlyBytes0And7() {
    QFETCH(QString, text);
    QFETCH(bool, flag);
    const CodecContext ctx = context(kDeltaS);
    for (quint32 seed = 100; seed < 120; ++seed) {
        const EEImage before = randomImage(seed);
        EEImage after = before;
        eeEncodeTone(after, kChannel1 + 4, text, ctx);
        for (int i = 0; i < kImageSize; ++i) {
            if (i == kChannel1)
                QCOMPARE(after[i] & ~0x40, before[i] & ~0x40);
            else if (i != kChannel1 + 7)
                QCOMPARE(after[i], before[i]);
        }
        QCOMPARE(bool(after[kChannel1] & 0x40), flag);
    }
}

void TestToneCodec::outOfRangeIndexIgnored_data() {
    QTest::addColumn<int>("radioId");
    QTest::addColumn<int>("index");
    constexpr int lo = std::numeric_limits<int>::min();
    constexpr int hi = std::numeric_limits<int>::max();
    for (int id : {16, 17}) {
        const QString f = id == 16 ? "S" : "SX";
        for (int index : {-1, -4, -8, 125, 126, 127, 128, 132, 256, 257, 1000, lo, hi})
            QTest::newRow(qPrintable(QStringLiteral("%1 index %2").arg(f).arg(index)))
                << id << index;
    }
    // The Delta-S transmit flag sits four bytes before the half.
    for (int index : {1, 2, 3})
        QTest::newRow(qPrintable(QStringLiteral("S transmit %1").arg(index))) << 16 << index;
}

void TestToneCodec::outOfRangeIndexIgnored() {
    QFETCH(int, radioId);
    QFETCH(int, index);
    const CodecContext ctx = context(radioId);
    for (const QString& text : {QStringLiteral("023"), QStringLiteral("71.9"), QString()}) {
        EEImage image = randomImage(7);
        const EEImage before = image;
        eeEncodeTone(image, index, text, ctx);
        QCOMPARE(image, before);
        QCOMPARE(EEDecodeTone(image, index, ctx), QString());
        QCOMPARE(ToneEntry(image, index, text, ctx), QString());
        QCOMPARE(image, before);
    }
}

void TestToneCodec::toneEntry_data() {
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
        {"023 stays", 17, rx1, false, false, "023", "023", 0x31, true},
        {"340 becomes 023", 17, rx1, false, false, "340", "023", 0x31, true},
        {"766 becomes 023", 17, rx1, false, false, "766", "023", 0x31, true},
        {"203 becomes 754", 17, rx1, false, false, "203", "754", 0xE3, true},
        {"76 becomes 754", 17, rx1, false, false, "76", "754", 0xE3, true},
        {"047 unlisted family stays", 17, rx1, false, false, "047", "047", 0x72, true},
        {"131.8 is a CG tone", 17, rx1, false, false, "131.8", "131.6", 0x0C, false},
        {"67 without point is DCG 067", 17, rx1, false, false, "67", "067", -1, true},
        {"empty stays empty", 17, rx1, false, false, "", "", 0, false},
        {"spaces stay no tone", 17, rx1, false, false, "   ", "", 0, false},
        {"9 is code 000, comes back empty", 17, rx1, false, false, "9", "", 0, true},
        {"777 cannot be stored", 17, rx1, false, false, "777", "", 0, true},
        {"12 reads as stored alias 10", 17, rx1, false, false, "12", "526", 0xA0, true},
        {"invert rx: 023 stored as 047", 17, rx1, true, false, "023", "023", 0x72, true},
        {"invert rx: 047 reads back 754", 17, rx1, true, false, "047", "754", 0x31, true},
        {"channel 16 transmit", 17, tx16, false, false, "23", "023", 0x31, true},
        {"transmit uses the transmit box", 17, tx16, false, true, "023", "023", 0x72, true},
        {"receive box does not invert transmit", 17, tx16, true, false, "023", "023", 0x31, true},
        {"S: 76 becomes 754", 16, rx1, false, false, "76", "754", 0xE3, true},
        {"S: channel 16 transmit", 16, tx16, false, false, "340", "023", 0x31, true},
        {"S: CG list tone", 16, tx16, false, false, "72.0", "71.9", 0x20, false},
        {"S: spaces stay no tone", 16, tx16, false, false, "  ", "", 0, false},
    };
    for (const Row& r : rows)
        QTest::newRow(r.what) << r.id << r.half << r.invRx << r.invTx << QString(r.typed)
                              << QString(r.shown) << r.toneByte << r.flag;
}

void TestToneCodec::toneEntry() {
    QFETCH(int, radioId);
    QFETCH(int, half);
    QFETCH(bool, invertRx);
    QFETCH(bool, invertTx);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, toneByte);
    QFETCH(bool, dcgFlag);
    const CodecContext ctx = context(radioId, invertRx, invertTx);
    const bool receive = half % 8 == 0;
    for (quint32 seed : {42u, 43u}) {
        EEImage image = randomImage(seed);
        QCOMPARE(ToneEntry(image, half, typed, ctx), shown);
        if (toneByte >= 0) QCOMPARE(int(image[half + 3]), toneByte);
        const bool flag =
            (radioId == kDeltaS && !receive) ? (image[half - 4] & 0x40) : (image[half] & 0x80);
        QCOMPARE(flag, dcgFlag);
        QCOMPARE(EEDecodeTone(image, half, ctx), shown);
    }
}

void TestToneCodec::toneEntryReencodesUnchangedField() {
    const CodecContext ctx = context(kDeltaSX);
    EEImage image = filled(0);
    QCOMPARE(ToneEntry(image, kChannel1, "023", ctx), QStringLiteral("023"));
    image[kChannel1 + 3] = 0x13; // disturbed behind the field's back
    image[kChannel1] = 0x10;
    QCOMPARE(ToneEntry(image, kChannel1, "023", ctx), QStringLiteral("023"));
    QCOMPARE(int(image[kChannel1 + 3]), 0x31);
    QCOMPARE(int(image[kChannel1]), 0x80);
}

QTEST_APPLESS_MAIN(TestToneCodec)
#include "tst_tonecodec.moc"
