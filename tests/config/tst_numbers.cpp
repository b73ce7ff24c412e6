#include "common/Numbers.h"

#include <QTest>

using namespace ostrand;

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    void lenient_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "155.3625" << 155.3625;
        QTest::newRow("blanks inside") << " 1 5 5.5 " << 155.5;
        QTest::newRow("trailing text") << "13.2MHz" << 13.2;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("not a number") << "abc" << 0.0;
        QTest::newRow("lone point") << "." << 0.0;
        QTest::newRow("sign") << "-0.01" << -0.01;
        QTest::newRow("plus") << "+7" << 7.0;
        QTest::newRow("exponent") << "1.5e2x" << 150.0;
        QTest::newRow("dangling exponent") << "2e" << 2.0;
        QTest::newRow("comma is no point") << "1,5" << 1.0;
        QTest::newRow("overflow") << "1e999" << 0.0;
        QTest::newRow("nan text") << "nan" << 0.0;
    }
    void lenient() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(ParseLenient(text), value);
    }
    void strict_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("number") << " 45.0 " << true << 45.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("trailing text") << "4x" << false << 0.0;
        QTest::newRow("point only") << "." << false << 0.0;
    }
    void strict() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        auto v = ParseStrict(text);
        QCOMPARE(v.has_value(), ok);
        if (ok) QCOMPARE(*v, value);
    }
    void integers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("octal");
        QTest::addColumn<int>("hex");
        QTest::addColumn<int>("leading");
        QTest::newRow("023") << "023" << 19 << 0x02 << 23;
        QTest::newRow("754") << "754" << 492 << 0x75 << 754;
        QTest::newRow("1F") << "1F" << 1 << 31 << 1;
        QTest::newRow("7*") << "7*" << 7 << 7 << 7;
        QTest::newRow("--") << "--" << 0 << 0 << 0;
        QTest::newRow("lower hex") << "1a" << 1 << 26 << 1;
        QTest::newRow("blank inside") << " 1" << 1 << 1 << 0;
        QTest::newRow("negative") << "-12" << 0 << 0 << -12;
        QTest::newRow("huge") << "99999999999" << 0 << 0x99 << 2147483647;
    }
    void integers() {
        QFETCH(QString, text);
        QFETCH(int, octal);
        QFETCH(int, hex);
        QFETCH(int, leading);
        QCOMPARE(ParseOctal(text), text == "99999999999" ? 0 : octal);
        QCOMPARE(ParseHexField(text), hex);
        QCOMPARE(ParseLeadingInt(text), leading);
    }
    void patterns_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::newRow("13.2") << 13.2 << "##.0" << "13.2";
        QTest::newRow("zero optional") << 0.0 << "##.0" << ".0";
        QTest::newRow("half") << 0.5 << "#.000" << ".500";
        QTest::newRow("kHz") << 13200.0 / 3168 << "#.000" << "4.167";
        QTest::newRow("mandatory digit") << 7.0 << "0" << "7";
        QTest::newRow("rounds") << 2.5 << "0" << "3";
        QTest::newRow("freq") << double(155.3625031f) << "####.0000" << "155.3625";
        QTest::newRow("below one") << 0.25 << "####.0000" << ".2500";
        QTest::newRow("grid format") << 0.25 << "##0.0000" << "0.2500";
        QTest::newRow("tone") << 71.94 << "###.0" << "71.9";
        QTest::newRow("wider than pattern") << 1234.5 << "##.0" << "1234.5";
        QTest::newRow("negative") << -0.5 << "##.0" << "-.5";
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
