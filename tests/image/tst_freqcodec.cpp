#include "image/FreqCodec.h"

#include <QTest>
#include <limits>

using namespace ostrand;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

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
        QTest::newRow("999.01 is out of range") << "13.2" << 2112 << 999.01f << 0 << 0;
        QTest::newRow("-0.01 is out of range") << "13.2" << 2112 << -0.01f << 0 << 0;
        QTest::newRow("NaN is out of range") << "13.2" << 2112 << kNaN << 0 << 0;
        QTest::newRow("divider 0 never divides") << "13.2" << 0 << 150.0f << 0 << 0;
        QTest::newRow("empty reference: no frequency") << "" << 2112 << 150.0f << 0 << 0;
        // step 0.5: totals of exactly x.5 go to the even neighbour
        QTest::newRow("tie 0.5 rounds down to 0") << "1" << 2 << 0.25f << 0 << 0;
        QTest::newRow("tie 1.5 rounds up to 2") << "1" << 2 << 0.75f << 0 << 2;
        QTest::newRow("A wraps into N at 64") << "1" << 2 << 32.0f << 1 << 0;
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

    void decode_data() {
        QTest::addColumn<QByteArray>("half");
        QTest::addColumn<int>("radio");
        QTest::addColumn<int>("div");
        QTest::addColumn<QString>("ref");
        QTest::addColumn<float>("freq");
        const auto add = [](const char* what, const char* half, int radio, int div, const char* ref,
                            float freq) {
            QTest::newRow(what) << QByteArray::fromHex(half) << radio << div << ref << freq;
        };
        const double step = 13.2 / 2112;
        add("N=1 A=48, even with an unreadable reference", "00000B", 17, 2112, "junk", 0.0f);
        add("A bit 6 counts in Delta-S", "000004", 16, 2112, "13.2", float(step * 64));
        add("A bit 6 is STE in Delta-SX, not A", "000004", 17, 2112, "13.2", 0.0f);
        add("huge reference gives infinity, not garbage", "00BB08", 17, 1, "1e300", kInf);
    }
    void decode() {
        QFETCH(QByteArray, half);
        QFETCH(int, radio);
        QFETCH(int, div);
        QFETCH(QString, ref);
        QFETCH(float, freq);
        for (int at : {0x70, 0x74}) { // receive and transmit halves decode alike
            EEImage image{};
            std::copy(half.begin(), half.end(), image.begin() + at);
            QCOMPARE(EEDecodeFreq(image, at, int16_t(div), ref, int16_t(radio)), freq);
        }
    }
};

QTEST_GUILESS_MAIN(TestFreqCodec)
#include "tst_freqcodec.moc"
