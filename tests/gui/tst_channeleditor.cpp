// The channel grid at work: band selection, reference lists, radio-wide fields, CPU label,
// tone entry, row copy and the refresh between grid and image.
#include "GuiFixture.h"

#include <QRadioButton>

using namespace fixture;

namespace {

std::unique_ptr<frmDelta> OpenOnBand(int band) {
    WritePreferences("False", QString::number(band));
    return Open();
}

// Reference 3, DCG 023, STE, timer position 2 and Tx W in row r.
QString Filled(int r) {
    return QStringLiteral("cmbRef_%1=3;txtTXFreq_%1=146.5250;txtRxFreq_%1=146.5250;"
                          "txtTxTone_%1=23;chkSTE_%1=1;cmbCCT_%1=2;chkTxW_%1=1")
        .arg(r);
}

} // namespace

class ChannelEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        WriteIni();
        WritePreferences();
    }

    // Emptying a radio-wide field leaves the grid as it was; a new value (or injection side)
    // re-shows the stored words under it. Neither touches the image.
    void radioWideFields_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("txRx");
        auto row = [](const char* what, const char* field, const char* value, const char* txRx) {
            QTest::newRow(what) << QString(field) << QString(value) << QString(txRx);
        };
        row("IF Freq.", "txtIFFreq", "10.7", "451.5150,449.3000");
        row("Rx Mult.", "txtRxMult", "1", "451.5150,167.6000");
        row("Tx Mult. 3 to 2, rounded", "txtTxMult", "2", "301.0100,460.0000");
        row("Ref. Freq.", "txtRefFreq", "6.6", "225.7575,240.7000");
        row("high side: Rx twice the IF lower", "optInjectionHi", "", "451.5150,417.2000");
    }
    void radioWideFields() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        auto w = OpenOnBand(1); // Tx Mult. 3, Rx Mult. 3, low side of 21.4 MHz
        Apply(*w, "cmbRef_0=2;txtTXFreq_0=451.5150;txtRxFreq_0=460.0000");
        const QStringList before = Grid(*w);
        const ostrand::EEImage image = w->eeImage;
        if (auto* edit = qobject_cast<QLineEdit*>(Find(*w, field))) {
            edit->setFocus(Qt::TabFocusReason);
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
            QCOMPARE(Grid(*w), before);
            QTest::keyClicks(edit, value);
        } else {
            QTest::mouseClick(Find(*w, field), Qt::LeftButton);
        }
        QTEST(Row(*w, 0).section(u',', 0, 1), "txRx");
        QVERIFY(w->eeImage == image);
    }

    void cpuLabel_data() {
        QTest::addColumn<int>("band");
        QTest::addColumn<int>("identity");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("shown"); // label, timer items, last one, first reference
        auto row = [](const char* what, int band, int id, int rev, const char* shown) {
            QTest::newRow(what) << band << id << rev << QString(shown);
        };
        row("Delta-S rev 2", 0, 16, 2, "Delta-S CPU - Revision 2|16|240 Sec|4.167/6.250kHz");
        row("unknown", 0, 18, 3, "CPU Type Unknown. ID: 18 - Revision 3|1|Off|4.167/6.250kHz");
        row("no radio", 2, 0, 0, "No Radio Connected|1|Off|Disabled");
    }
    void cpuLabel() {
        QFETCH(int, band);
        QFETCH(int, identity);
        QFETCH(int, revision);
        auto w = OpenOnBand(band);
        w->Host().SetIdentity(int16_t(identity), int16_t(revision));
        auto* cct = Find<QComboBox>(*w, "cmbCCT", 15);
        const QString last = cct->itemText(cct->count() - 1);
        const QString ref = Find<QComboBox>(*w, "cmbRef", 15)->itemText(0);
        QTEST(QStringList({w->lblCPUType->text(), QString::number(cct->count()), last, ref})
                  .join(u'|'),
              "shown");
    }

    // Edits as an operator makes them ("setup|edits" to start from a set-up grid), then what
    // the grid shows: "r=row" for each row that differs from the start ("*" for all rows).
    // Decoding the image again shows the same.
    void gridEdits_data() {
        QTest::addColumn<int>("band");
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QString>("changed");
        auto row = [](const char* what, int band, const QString& edits, const char* changed) {
            QTest::newRow(what) << band << edits << QString(changed);
        };
        row("23 gets its leading zero", 0, "txtRxTone_0=23", "0=,,0,,023,1,0,0,0,0,0");
        row("a point makes a CG tone", 0, "txtRxTone_0=100.0", "0=,,0,,100.0,1,0,0,0,0,0");
        row("9 is code 000, shown empty", 0, "txtRxTone_0=9", "");
        row("777 cannot be stored", 0, "txtRxTone_0=777", "");
        row("inverted: 047 reads back 754", 3, "txtRxTone_0=047", "0=,,0,,754,1,0,0,0,0,0");
        row("Tx of channel 16", 0, "txtTxTone_15=23", "15=,,0,023,,1,0,0,0,0,0");
        // A new band shows the same words under its parameters (x3, low side of 21.4 MHz) and
        // moves no reference choice; with the option checked it clears the grid instead.
        const QString row2 = Filled(2) + ";cmbRef_9=5|";
        row("the clearing option alone does nothing", 0, row2 + "mnuClrMemoryOnBandSelect", "");
        row("new band", 0, row2 + "cmbBand=1",
            "*=,,0,,,1,0,0,0,0,0 2=439.5750,595.9750,3,023,,1,2,1,0,0,0 9=,,5,,,1,0,0,0,0,0");
        row("new band, cleared", 0, row2 + "mnuClrMemoryOnBandSelect;cmbBand=1",
            "*=,,2,,,0,0,0,0,0,0");
        row("no divider table: no frequency stored or shown", 4, "txtTXFreq_0=146.5200", "");
        // An invert box re-decodes without storing: DCG words show inverted, CG tones stay, and
        // a box clicked but not yet stored is discarded.
        const QString tones = "txtTxTone_0=023;txtRxTone_0=023;txtTxTone_2=100.0;";
        const char* cg = " 2=,,0,100.0,,1,0,0,0,0,0";
        row("Tx invert, STE of channel 4 discarded", 0, tones + "chkSTE_3;chkDCGInvertTx",
            QByteArray("0=,,0,754,023,1,0,0,0,0,0") + cg);
        row("Rx invert, Rx Z of channel 16 discarded", 0, tones + "chkRxZ_15;chkDCGInvertRx",
            QByteArray("0=,,0,023,754,1,0,0,0,0,0") + cg);
        row("Rx invert twice", 0, tones + "chkDCGInvertRx;chkDCGInvertRx",
            QByteArray("0=,,0,023,023,1,0,0,0,0,0") + cg);
        // A channel's label copies its row into every row; a second click changes nothing.
        const char* copy = "*=146.5250,146.5250,3,023,100.0,1,2,1,0,0,1";
        row("channel 5 copied", 0, Filled(4) + ";txtRxTone_4=100.0;chkRxZ_4=1;lblChan_4", copy);
        row("channel 16 copied, clicked twice", 0,
            Filled(15) + ";txtRxTone_15=100.0;chkRxZ_15=1;lblChan_15;lblChan_15", copy);
    }
    void gridEdits() {
        QFETCH(int, band);
        QFETCH(QString, edits);
        QFETCH(QString, changed);
        auto w = OpenOnBand(band);
        Apply(*w, edits.section(u'|', 0, -2));
        QStringList expected = Grid(*w);
        for (const QString& entry : changed.split(u' ', Qt::SkipEmptyParts)) {
            const QString r = entry.section(u'=', 0, 0), text = entry.section(u'=', 1);
            if (r == u'*')
                expected.fill(text);
            else
                expected[r.toInt()] = text;
        }
        Apply(*w, edits.section(u'|', -1));
        QCOMPARE(Grid(*w), expected);
        // A copy stores only through the reference change it raises, so encode it first.
        w->RefreshValues(edits.contains(u"lblChan"));
        QCOMPARE(Grid(*w), expected);
    }
};

QTEST_MAIN(ChannelEditorTest)
#include "tst_channeleditor.moc"
