#include "common/Numbers.h"

#include <QTest>
#include <cmath>

using namespace ostrand;

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    // Every reading of one text: "lenient strict octal hex leading", strict "-" when refused.
    void readings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* what, const char* text, const char* expected) {
            QTest::newRow(what) << QString(text) << QString(expected);
        };
        row("decimal with blanks around", " 155.3625 ", "155.3625 155.3625 109 1 0");
        row("blanks inside", " 1 5 5.5 ", "155.5 - 109 1 0");
        row("trailing text", "13.2MHz", "13.2 - 11 19 13");
        row("empty", "", "0 - 0 0 0");
        row("lone point", ".", "0 - 0 0 0");
        row("exponent", "1.5e2x", "150 - 1 1 1");
        row("comma is no point", "1,5", "1 - 1 1 1");
        row("overflow", "1e999", "0 - 1 30 1");
        row("nan text", "nan", "0 - 0 0 0");
        row("octal 023", "023", "23 23 19 2 23");
        row("hex letters", "1a", "1 - 1 26 1");
        row("signs only", "--", "0 - 0 0 0");
        row("negative", "-12", "-12 -12 0 0 -12");
        row("saturates", "99999999999", "99999999999 99999999999 0 153 2147483647");
    }
    void readings() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const auto n = [](double v) { return QString::number(v, 'g', 12); };
        const auto strict = ParseStrict(text);
        const QStringList got{n(ParseLenient(text)), strict ? n(*strict) : "-", n(ParseOctal(text)),
                              n(ParseHexField(text)), n(ParseLeadingInt(text))};
        QCOMPARE(got.join(u' '), expected);
    }
    void patterns_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* what, double value, const char* pattern,
                            const QString& text) {
            QTest::newRow(what) << value << QString(pattern) << text;
        };
        row("13.2", 13.2, "##.0", "13.2");
        row("zero optional", 0.0, "##.0", ".0");
        row("kHz", 13200.0 / 3168, "#.000", "4.167");
        row("rounds half away", 2.5, "0", "3");
        row("freq", double(155.3625031f), "####.0000", "155.3625");
        row("grid format", 0.25, "##0.0000", "0.2500");
        row("wider than pattern", 1234.5, "##.0", "1234.5");
        row("negative", -0.5, "##.0", "-.5");
        const double huge = std::ldexp(1.0, 1020); // times 10^4 is beyond the double range
        row("scaling past double range keeps the digits", huge, "####.0000",
            QString::number(huge, 'f', 0) + ".0000");
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
