#include "image/FreqCodec.h"

#include <QTest>
#include <limits>

using namespace ostrand;

namespace {

constexpr int16_t kSX = 17;
constexpr int16_t kS = 16;

EEImage imageWithHalf(int at, const QByteArray& bytes, uint8_t fill = 0) {
    EEImage image;
    image.fill(fill);
    for (int i = 0; i < bytes.size(); ++i)
        image[size_t(at + i)] = uint8_t(bytes[i]);
    return image;
}

QByteArray bytesAt(const EEImage& image, int at, int count) {
    return QByteArray(reinterpret_cast<const char*>(image.data()) + at, count);
}

} // namespace

class TestFreqCodec : public QObject {
    Q_OBJECT
private slots:
    void encode_data() {
        QTest::addColumn<QString>("ref");
        QTest::addColumn<int>("div");
        QTest::addColumn<float>("freq");
        QTest::addColumn<int>("N");
        QTest::addColumn<int>("A");
        QTest::newRow("150.0 on 6.25 kHz") << "13.2" << 2112 << 150.0f << 375 << 0;
        QTest::newRow("155.3625 on 6.25 kHz") << "13.2" << 2112 << 155.3625f << 388 << 26;
        QTest::newRow("999.0 is still encoded") << "13.2" << 2112 << 999.0f << 2497 << 32;
        QTest::newRow("0 is encoded as 0") << "13.2" << 2112 << 0.0f << 0 << 0;
        QTest::newRow("999.01 is out of range") << "13.2" << 2112 << 999.01f << 0 << 0;
        QTest::newRow("-0.01 is out of range") << "13.2" << 2112 << -0.01f << 0 << 0;
        QTest::newRow("NaN is out of range")
            << "13.2" << 2112 << std::numeric_limits<float>::quiet_NaN() << 0 << 0;
        QTest::newRow("infinity is out of range")
            << "13.2" << 2112 << std::numeric_limits<float>::infinity() << 0 << 0;
        QTest::newRow("divider 0 never divides") << "13.2" << 0 << 150.0f << 0 << 0;
        QTest::newRow("empty reference: no frequency") << "" << 2112 << 150.0f << 0 << 0;
        QTest::newRow("text reference: no frequency") << "abc" << 2112 << 150.0f << 0 << 0;
        QTest::newRow("negative divider: no frequency") << "13.2" << -2112 << 150.0f << 0 << 0;
        QTest::newRow("reference read leniently") << " 13.2 MHz" << 2112 << 150.0f << 375 << 0;
        // step 0.5: totals of exactly x.5 go to the even neighbour
        QTest::newRow("tie 0.5 rounds down to 0") << "1" << 2 << 0.25f << 0 << 0;
        QTest::newRow("tie 1.5 rounds up to 2") << "1" << 2 << 0.75f << 0 << 2;
        QTest::newRow("tie 2.5 rounds down to 2") << "1" << 2 << 1.25f << 0 << 2;
        QTest::newRow("A wraps into N at 64") << "1" << 2 << 32.0f << 1 << 0;
        QTest::newRow("total 63 stays in A") << "1" << 2 << 31.5f << 0 << 63;
        // 100 / (0.01 / 32767) = 327670000 = 64 * 5119843 + 48: N keeps its low 16 bits
        QTest::newRow("N beyond 16 bits keeps its low bits")
            << "0.01" << 32767 << 100.0f << int(int16_t(5119843 & 0xFFFF)) << 48;
        QTest::newRow("total beyond 32 bits: no frequency") << "1e-300" << 1 << 1.0f << 0 << 0;
    }
    void encode() {
        QFETCH(QString, ref);
        QFETCH(int, div);
        QFETCH(float, freq);
        QFETCH(int, N);
        QFETCH(int, A);
        int16_t n = -1, a = -1;
        EEEncodeFreq(freq, int16_t(div), ref, n, a);
        QCOMPARE(int(n), N);
        QCOMPARE(int(a), A);
    }

    void writeWord_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("N");
        QTest::addColumn<int>("A");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("375/0 into a zero half")
            << QByteArray::fromHex("000000") << 375 << 0 << QByteArray::fromHex("00BB08");
        QTest::newRow("388/26 into a zero half")
            << QByteArray::fromHex("000000") << 388 << 26 << QByteArray::fromHex("002CA1");
        QTest::newRow("no-reference pattern 1023/63")
            << QByteArray::fromHex("000000") << 1023 << 63 << QByteArray::fromHex("08FFFB");
        QTest::newRow("flags and h2 bit 2 survive, counters cleared")
            << QByteArray::fromHex("FFFFFF") << 0 << 0 << QByteArray::fromHex("F70004");
        QTest::newRow("bits above N9 and A5 are dropped")
            << QByteArray::fromHex("000000") << (0x400 | 375) << (0x40 | 0)
            << QByteArray::fromHex("00BB08");
        QTest::newRow("N bit 9 sets h0 bit 3")
            << QByteArray::fromHex("000000") << 0x200 << 0 << QByteArray::fromHex("080000");
    }
    void writeWord() {
        QFETCH(QByteArray, before);
        QFETCH(int, N);
        QFETCH(int, A);
        QFETCH(QByteArray, after);
        EEImage image = imageWithHalf(0x74, before, 0x5A);
        WriteSynthWord(image, 0x74, N, A);
        QCOMPARE(bytesAt(image, 0x74, 3).toHex(), after.toHex());
        QCOMPARE(int(image[0x73]), 0x5A); // neighbours untouched
        QCOMPARE(int(image[0x77]), 0x5A);
    }

    void decode_data() {
        QTest::addColumn<QByteArray>("half");
        QTest::addColumn<int>("radio");
        QTest::addColumn<int>("div");
        QTest::addColumn<QString>("ref");
        QTest::addColumn<float>("freq");
        QTest::newRow("BB 08 is 150.0")
            << QByteArray::fromHex("00BB08") << 17 << 2112 << "13.2" << 150.0f;
        QTest::newRow("2C A1 is float 155.3625031")
            << QByteArray::fromHex("002CA1") << 17 << 2112 << "13.2" << float(13.2 / 2112 * 24858);
        QTest::newRow("erased half, Delta-SX: no frequency")
            << QByteArray::fromHex("FFFFFF") << 17 << 2112 << "13.2" << 0.0f;
        QTest::newRow("erased half, Delta-S: A = 127 is a frequency")
            << QByteArray::fromHex("FFFFFF") << 16 << 2112 << "13.2"
            << float(13.2 / 2112 * (64 * 1023 + 127));
        QTest::newRow("erased half, unknown CPU reads as Delta-SX")
            << QByteArray::fromHex("FFFFFF") << 0 << 2112 << "13.2" << 0.0f;
        QTest::newRow("N=1 A=48: no frequency")
            << QByteArray::fromHex("00000B") << 17 << 2112 << "13.2" << 0.0f;
        QTest::newRow("N=1 A=48 in Delta-S: no frequency")
            << QByteArray::fromHex("00000B") << 16 << 2112 << "13.2" << 0.0f;
        QTest::newRow("N=1 A=48 even with an unreadable reference")
            << QByteArray::fromHex("00000B") << 17 << 2112 << "junk" << 0.0f;
        QTest::newRow("A bit 6 counts in Delta-S")
            << QByteArray::fromHex("000004") << 16 << 2112 << "13.2" << float(13.2 / 2112 * 64);
        QTest::newRow("A bit 6 is ignored in Delta-SX (it is STE there)")
            << QByteArray::fromHex("000004") << 17 << 2112 << "13.2" << 0.0f;
        QTest::newRow("only flag bits: N=A=0")
            << QByteArray::fromHex("F70004") << 17 << 2112 << "13.2" << 0.0f;
        QTest::newRow("N bit 9 from h0 bit 3") << QByteArray::fromHex("080000") << 17 << 2112
                                               << "13.2" << float(13.2 / 2112 * 512 * 64);
        QTest::newRow("divider 0") << QByteArray::fromHex("00BB08") << 17 << 0 << "13.2" << 0.0f;
        QTest::newRow("empty reference")
            << QByteArray::fromHex("00BB08") << 17 << 2112 << "" << 0.0f;
        QTest::newRow("huge reference gives infinity, not garbage")
            << QByteArray::fromHex("00BB08") << 17 << 1 << "1e300"
            << std::numeric_limits<float>::infinity();
    }
    void decode() {
        QFETCH(QByteArray, half);
        QFETCH(int, radio);
        QFETCH(int, div);
        QFETCH(QString, ref);
        QFETCH(float, freq);
        for (int at : {0x70, 0x74}) { // receive and transmit halves decode alike
            const EEImage image = imageWithHalf(at, half);
            QCOMPARE(EEDecodeFreq(image, at, int16_t(div), ref, int16_t(radio)), freq);
        }
    }

    void outsideTheBlock_data() {
        QTest::addColumn<int>("at");
        QTest::newRow("negative") << -1;
        QTest::newRow("half would end past byte 127") << 126;
        QTest::newRow("past the block") << 128;
        QTest::newRow("past the image") << 300;
    }
    void outsideTheBlock() {
        QFETCH(int, at);
        EEImage image;
        image.fill(0x55);
        const EEImage before = image;
        QCOMPARE(EEDecodeFreq(image, at, 2112, "13.2", kSX), 0.0f);
        WriteSynthWord(image, at, 375, 0);
        QVERIFY(image == before);
    }

    void roundTrip_data() {
        QTest::addColumn<int>("radio");
        QTest::addColumn<int>("div");
        QTest::addColumn<float>("freq");
        QTest::newRow("150.0 Delta-SX") << int(kSX) << 2112 << 150.0f;
        QTest::newRow("155.3625 Delta-S") << int(kS) << 2112 << 155.3625f;
        QTest::newRow("400.0 needs N bit 9") << int(kSX) << 2112 << 400.0f;
        QTest::newRow("5 kHz step") << int(kSX) << 2640 << 152.005f;
        QTest::newRow("12.5 kHz step") << int(kS) << 1056 << 450.0125f;
    }
    void roundTrip() {
        QFETCH(int, radio);
        QFETCH(int, div);
        QFETCH(float, freq);
        int16_t N = 0, A = 0;
        EEEncodeFreq(freq, int16_t(div), "13.2", N, A);
        EEImage image{};
        WriteSynthWord(image, 8, N, A);
        const float back = EEDecodeFreq(image, 8, int16_t(div), "13.2", int16_t(radio));
        QVERIFY2(std::fabs(back - freq) < 1e-4, qPrintable(QString::number(back, 'f', 6)));
    }
};

QTEST_GUILESS_MAIN(TestFreqCodec)
#include "tst_freqcodec.moc"
