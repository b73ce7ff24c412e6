#include "common/Numbers.h"

#include <QTest>

using namespace ostrand;

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    // Lenient reading, and whether the strict reading takes the whole text as that number.
    void decimal_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("lenient");
        QTest::addColumn<bool>("strict");
        QTest::newRow("plain") << " 155.3625 " << 155.3625 << true;
        QTest::newRow("blanks inside") << " 1 5 5.5 " << 155.5 << false;
        QTest::newRow("trailing text") << "13.2MHz" << 13.2 << false;
        QTest::newRow("empty") << "" << 0.0 << false;
        QTest::newRow("lone point") << "." << 0.0 << false;
        QTest::newRow("exponent") << "1.5e2x" << 150.0 << false;
        QTest::newRow("comma is no point") << "1,5" << 1.0 << false;
        QTest::newRow("overflow") << "1e999" << 0.0 << false;
        QTest::newRow("nan text") << "nan" << 0.0 << false;
    }
    void decimal() {
        QFETCH(QString, text);
        QFETCH(double, lenient);
        QFETCH(bool, strict);
        QCOMPARE(ParseLenient(text), lenient);
        const auto v = ParseStrict(text);
        QCOMPARE(v.has_value(), strict);
        if (strict) QCOMPARE(*v, lenient);
    }
    void integers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("octal");
        QTest::addColumn<int>("hex");
        QTest::addColumn<int>("leading");
        QTest::newRow("023") << "023" << 19 << 0x02 << 23;
        QTest::newRow("1a") << "1a" << 1 << 26 << 1;
        QTest::newRow("--") << "--" << 0 << 0 << 0;
        QTest::newRow("blank before") << " 1" << 1 << 1 << 0;
        QTest::newRow("negative") << "-12" << 0 << 0 << -12;
        QTest::newRow("saturates") << "99999999999" << 0 << 0x99 << 2147483647;
    }
    void integers() {
        QFETCH(QString, text);
        QFETCH(int, octal);
        QFETCH(int, hex);
        QFETCH(int, leading);
        QCOMPARE(ParseOctal(text), octal);
        QCOMPARE(ParseHexField(text), hex);
        QCOMPARE(ParseLeadingInt(text), leading);
    }
    void patterns_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* what, double value, const char* pattern, const char* text) {
            QTest::newRow(what) << value << QString(pattern) << QString(text);
        };
        row("13.2", 13.2, "##.0", "13.2");
        row("zero optional", 0.0, "##.0", ".0");
        row("kHz", 13200.0 / 3168, "#.000", "4.167");
        row("rounds half away", 2.5, "0", "3");
        row("freq", double(155.3625031f), "####.0000", "155.3625");
        row("grid format", 0.25, "##0.0000", "0.2500");
        row("wider than pattern", 1234.5, "##.0", "1234.5");
        row("negative", -0.5, "##.0", "-.5");
    }
    void patterns() {
        QFETCH(double, value);
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QCOMPARE(FormatPattern(value, pattern), text);
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
