// Reference list texts and band list positions, without a window.
#include "band/BandSelection.h"

#include <QTest>

using namespace ostrand;

class BandSelectionTest : public QObject {
    Q_OBJECT

private slots:
    void referenceItems_data() {
        QTest::addColumn<QString>("ref");
        QTest::addColumn<QList<int>>("dividers"); // positions 1..7
        QTest::addColumn<int>("radioId");
        QTest::addColumn<QStringList>("items");
        const QList<int> table{3168, 2640, 2112, 3312, 2760, 2208, 2400};
        QTest::newRow("Delta-SX: pair first, last disabled")
            << "13.2" << table << 17
            << QStringList{"4.167/6.250kHz", "4.167kHz", "5.000kHz", "6.250kHz",
                           "3.986kHz",       "4.783kHz", "5.978kHz", "Disabled"};
        QTest::newRow("Delta-S: first disabled, position 7 carries a value")
            << "13.2" << table << 16 << QStringList{"Disabled", "4.167kHz", "5.000kHz", "6.250kHz",
                                                    "3.986kHz", "4.783kHz", "5.978kHz", "5.500kHz"};
        QTest::newRow("empty reference reads as 0")
            << "" << table << 17 << QStringList{".000/.000kHz", ".000kHz", ".000kHz", ".000kHz",
                                                ".000kHz",      ".000kHz", ".000kHz", "Disabled"};
        QTest::newRow("divider 0 is no reference, the pair too")
            << "13.2" << QList<int>{3168, 2640, 0, 3312, 0, 2208, 0} << 17
            << QStringList{"Disabled", "4.167kHz", "5.000kHz", "Disabled",
                           "3.986kHz", "Disabled", "5.978kHz", "Disabled"};
        QTest::newRow("reference read leniently")
            << "12.8MHz" << table << 16
            << QStringList{"Disabled", "4.040kHz", "4.848kHz", "6.061kHz",
                           "3.865kHz", "4.638kHz", "5.797kHz", "5.333kHz"};
    }
    void referenceItems() {
        QFETCH(QString, ref);
        QFETCH(QList<int>, dividers);
        QFETCH(int, radioId);
        QFETCH(QStringList, items);
        DividerTable t{};
        for (int j = 1; j <= 7; ++j)
            t[size_t(j)] = int16_t(dividers[j - 1]);
        QCOMPARE(ReferenceListItems(ref, t, int16_t(radioId)), items);
    }

    void bandPosition_data() {
        QTest::addColumn<int>("wanted");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("position");
        QTest::newRow("last position stays") << 2 << 3 << 2;
        QTest::newRow("position beyond the list: first") << 3 << 2 << 0;
        QTest::newRow("none stays none") << -1 << 3 << -1;
        QTest::newRow("below -1: first") << -4 << 3 << 0;
        QTest::newRow("empty list: none") << 0 << 0 << -1;
    }
    void bandPosition() {
        QFETCH(int, wanted);
        QFETCH(int, count);
        QFETCH(int, position);
        QCOMPARE(BandPositionFor(wanted, count), position);
    }

    void fieldTexts_data() {
        QTest::addColumn<int>("mult");
        QTest::addColumn<double>("mhz");
        QTest::addColumn<QString>("multText");
        QTest::addColumn<QString>("mhzText");
        QTest::newRow("zero writes .0") << 0 << 0.0 << "0"
                                        << ".0";
        QTest::newRow("rounded to one decimal") << 1 << 21.45 << "1"
                                                << "21.5";
    }
    void fieldTexts() {
        QFETCH(int, mult);
        QFETCH(double, mhz);
        QFETCH(QString, multText);
        QFETCH(QString, mhzText);
        RadioDefinition def;
        def.TxMult = uint8_t(mult);
        def.RxMult = uint8_t(mult);
        def.IFFreq = float(mhz);
        def.RefOsc = float(mhz);
        const BandFields f = BandFieldsFor(def);
        QCOMPARE(f.TxMult, multText);
        QCOMPARE(f.RxMult, multText);
        QCOMPARE(f.IFFreq, mhzText);
        QCOMPARE(f.RefFreq, mhzText);
    }
};

QTEST_GUILESS_MAIN(BandSelectionTest)
#include "tst_bandselection.moc"
