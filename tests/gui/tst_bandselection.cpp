// Reference list texts, without a window.
#include "band/BandSelection.h"

#include <QTest>

using namespace ostrand;

class TestBandSelection : public QObject {
    Q_OBJECT

private slots:
    void referenceItems_data() {
        QTest::addColumn<double>("ref");
        QTest::addColumn<QString>("dividers"); // positions 1..7
        QTest::addColumn<int>("radioId");
        QTest::addColumn<QString>("items");
        auto row = [](const char* what, double ref, const char* dividers, int id,
                      const char* items) {
            QTest::newRow(what) << ref << QString(dividers) << id << QString(items);
        };
        const char* table = "3168 2640 2112 3312 2760 2208 2400";
        row("Delta-SX: pair first, last disabled", 13.2, table, 17,
            "4.167/6.250kHz|4.167kHz|5.000kHz|6.250kHz|3.986kHz|4.783kHz|5.978kHz|Disabled");
        row("Delta-S: first disabled, position 7 used", 13.2, table, 16,
            "Disabled|4.167kHz|5.000kHz|6.250kHz|3.986kHz|4.783kHz|5.978kHz|5.500kHz");
        row("reference 0", 0, table, 17,
            ".000/.000kHz|.000kHz|.000kHz|.000kHz|.000kHz|.000kHz|.000kHz|Disabled");
        row("divider 0 is no reference, the pair too", 13.2, "3168 2640 0 3312 0 2208 0", 17,
            "Disabled|4.167kHz|5.000kHz|Disabled|3.986kHz|Disabled|5.978kHz|Disabled");
    }
    void referenceItems() {
        QFETCH(double, ref);
        QFETCH(QString, dividers);
        QFETCH(int, radioId);
        DividerTable t{};
        for (int j = 1; j <= 7; ++j)
            t[size_t(j)] = int16_t(dividers.section(u' ', j - 1, j - 1).toInt());
        QTEST(ReferenceListItems(ref, t, int16_t(radioId)).join(u'|'), "items");
    }
};

QTEST_GUILESS_MAIN(TestBandSelection)
#include "tst_bandselection.moc"
