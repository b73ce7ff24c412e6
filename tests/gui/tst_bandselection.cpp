// Reference list texts, without a window.
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
};

QTEST_GUILESS_MAIN(BandSelectionTest)
#include "tst_bandselection.moc"
