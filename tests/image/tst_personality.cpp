#include "image/PersonalityFile.h"

#include <QRandomGenerator>
#include <QTest>

using namespace ostrand;

using Block = std::array<uint8_t, kBlockSize>;
Q_DECLARE_METATYPE(Block)

namespace {

// 256 digits for bytes 0x00, 0x01, ..., 0x7F: every position has a distinct value.
QByteArray countingDigits() {
    QByteArray digits;
    for (int i = 0; i < kBlockSize; ++i)
        digits += QByteArray::number(i, 16).rightJustified(2, '0');
    return digits.toUpper();
}

Block countingBlock() {
    Block b{};
    for (int i = 0; i < kBlockSize; ++i)
        b[size_t(i)] = uint8_t(i);
    return b;
}

Block filledBlock(uint8_t v) {
    Block b{};
    b.fill(v);
    return b;
}

} // namespace

class TestPersonality : public QObject {
    Q_OBJECT
private slots:
    void firstField_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("whole text") << QByteArray("ABC") << QByteArray("ABC");
        QTest::newRow("ends at CR LF") << QByteArray("ABC\r\nDEF") << QByteArray("ABC");
        QTest::newRow("ends at LF") << QByteArray("ABC\nDEF") << QByteArray("ABC");
        QTest::newRow("ends at comma") << QByteArray("AB,C") << QByteArray("AB");
        QTest::newRow("leading blanks skipped") << QByteArray("  \tABC") << QByteArray("ABC");
        QTest::newRow("quotes removed") << QByteArray("\"AB,C\"rest") << QByteArray("AB,C");
        QTest::newRow("blanks before a quote") << QByteArray("  \"AB\"") << QByteArray("AB");
        QTest::newRow("unclosed quote runs to the end")
            << QByteArray("\"AB\r\nC") << QByteArray("AB\r\nC");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("line end first") << QByteArray("\r\nABC") << QByteArray();
    }
    void firstField() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, field);
        QCOMPARE(FirstField(content), field);
    }

    void parse_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<Block>("block");
        const QByteArray digits = countingDigits();
        QTest::newRow("256 digits") << digits << true << countingBlock();
        QTest::newRow("CR LF after the digits") << digits + "\r\n" << true << countingBlock();
        QTest::newRow("anything after the line end is ignored")
            << digits + "\r\nnot part of it" << true << countingBlock();
        QTest::newRow("double quotes are not counted")
            << "\"" + digits + "\"" << true << countingBlock();
        QTest::newRow("lower case ff is 255") << QByteArray(256, 'f') << true << filledBlock(0xFF);
        QTest::newRow("non-hex characters count as 0")
            << QByteArray(256, 'G') << true << filledBlock(0x00);
        QTest::newRow("mixed: G5 is 0x05")
            << QByteArray("G5").repeated(128) << true << filledBlock(0x05);
        QTest::newRow("255 digits") << digits.left(255) << false << Block{};
        QTest::newRow("257 digits") << digits + "0" << false << Block{};
        QByteArray withComma = digits;
        withComma[100] = ',';
        QTest::newRow("comma inside the first 256") << withComma << false << Block{};
        QTest::newRow("empty file") << QByteArray() << false << Block{};
        QTest::newRow("257 characters: trailing blank") << digits + " " << false << Block{};
        QByteArray binary(256, '\0');
        binary[7] = char(0xFF);
        QTest::newRow("256 bytes of binary without line ends")
            << binary << true << filledBlock(0x00);
    }
    void parse() {
        QFETCH(QByteArray, content);
        QFETCH(bool, accepted);
        QFETCH(Block, block);
        const auto parsed = ParsePersonality(content);
        QCOMPARE(parsed.has_value(), accepted);
        if (accepted) QVERIFY(*parsed == block);
    }

    void binaryGarbageNeverCrashes() {
        QRandomGenerator rng(20240611);
        for (int round = 0; round < 500; ++round) {
            QByteArray junk(int(rng.bounded(600)), Qt::Uninitialized);
            for (char& c : junk)
                c = char(rng.bounded(256));
            const auto parsed = ParsePersonality(junk);
            QCOMPARE(parsed.has_value(), FirstField(junk).size() == 256);
        }
    }

    void format_data() {
        QTest::addColumn<uint8_t>("fill");
        QTest::addColumn<QByteArray>("pair");
        QTest::newRow("zero") << uint8_t(0x00) << QByteArray("00");
        QTest::newRow("upper case digits") << uint8_t(0xAB) << QByteArray("AB");
        QTest::newRow("erased") << uint8_t(0xFF) << QByteArray("FF");
    }
    void format() {
        QFETCH(uint8_t, fill);
        QFETCH(QByteArray, pair);
        EEImage image;
        image.fill(fill);
        image[200] = 0x12; // beyond the block: never saved
        const QByteArray text = FormatPersonality(image);
        QCOMPARE(text, pair.repeated(128)); // exactly 256 digits, no line end
    }

    void formatParseRoundTrip() {
        QRandomGenerator rng(7);
        for (int round = 0; round < 50; ++round) {
            EEImage image{};
            for (int i = 0; i < kBlockSize; ++i)
                image[size_t(i)] = uint8_t(rng.bounded(256));
            const auto parsed = ParsePersonality(FormatPersonality(image));
            QVERIFY(parsed.has_value());
            QVERIFY(std::equal(parsed->begin(), parsed->end(), image.begin()));
        }
    }

    void byteOrder() {
        // byte 0 first, high digit first
        EEImage image{};
        image[0] = 0x12;
        image[127] = 0xEF;
        const QByteArray text = FormatPersonality(image);
        QCOMPARE(text.left(2), QByteArray("12"));
        QCOMPARE(text.right(2), QByteArray("EF"));
    }
};

QTEST_GUILESS_MAIN(TestPersonality)
#include "tst_personality.moc"
