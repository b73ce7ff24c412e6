// The channel grid at work: band selection, reference lists, radio-wide fields, CPU label,
// tone entry, row copy and the refresh between grid and image.
#include "GuiFixture.h"

#include <QRadioButton>

using namespace fixture;
using ostrand::frmDelta;

namespace {

std::unique_ptr<frmDelta> OpenOnBand(int band) {
    WritePreferences(QStringLiteral("False"), QString::number(band));
    return Open();
}

QComboBox* Ref(const frmDelta& w, int r) {
    return Find<QComboBox>(w, Name("cmbRef", r));
}
QString Text(const frmDelta& w, const char* stem, int r) {
    return Find<QLineEdit>(w, Name(stem, r))->text();
}

// Replaces a radio-wide field's text as typing would (select all, then type or erase).
void Retype(QLineEdit* field, const QString& text) {
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClicks(field, text);
}

// Fills row r with a channel on reference 3 and returns what the row shows.
QStringList FillRow(frmDelta& w, int r) {
    Ref(w, r)->setCurrentIndex(3);
    Enter(w, Name("txtTXFreq", r), QStringLiteral("146.5250"));
    Enter(w, Name("txtRxFreq", r), QStringLiteral("146.5250"));
    Enter(w, Name("txtTxTone", r), QStringLiteral("23"));
    Find<QCheckBox>(w, Name("chkSTE", r))->setChecked(true);
    Find<QComboBox>(w, Name("cmbCCT", r))->setCurrentIndex(2);
    Find<QCheckBox>(w, Name("chkTxW", r))->setChecked(true);
    return RowTexts(w, r);
}

} // namespace

class ChannelEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        WriteIni();
        WritePreferences(std::nullopt, std::nullopt);
    }

    void injectionSwitch_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("rx");
        QTest::addColumn<QString>("rxLow");
        QTest::newRow("channel 1") << 0 << "146.5250"
                                   << "236.5250";
        QTest::newRow("channel 16") << 15 << "155.0000"
                                    << "245.0000";
    }
    void injectionSwitch() {
        QFETCH(int, row);
        QFETCH(QString, rx);
        auto w = OpenOnBand(0);
        Ref(*w, row)->setCurrentIndex(3);
        Enter(*w, Name("txtRxFreq", row), rx);
        Enter(*w, Name("txtTXFreq", row), QStringLiteral("150.0000"));
        QCOMPARE(Text(*w, "txtRxFreq", row), rx);
        const ostrand::EEImage image = w->eeImage;
        QTest::mouseClick(w->optInjectionLo, Qt::LeftButton);
        QTEST(Text(*w, "txtRxFreq", row), "rxLow");
        QCOMPARE(Text(*w, "txtTXFreq", row), QStringLiteral("150.0000"));
        QVERIFY(w->eeImage == image);
    }

    void txMultRescales_data() {
        QTest::addColumn<QString>("tx");
        QTest::addColumn<QString>("txAt2");
        QTest::newRow("450 MHz") << "450.0000"
                                 << "300.0000";
        QTest::newRow("451.515 MHz") << "451.5150"
                                     << "301.0100";
    }
    void txMultRescales() {
        QFETCH(QString, tx);
        auto w = OpenOnBand(1); // Tx Mult. 3
        Ref(*w, 4)->setCurrentIndex(2);
        Enter(*w, Name("txtTXFreq", 4), tx);
        QCOMPARE(Text(*w, "txtTXFreq", 4), tx);
        const ostrand::EEImage image = w->eeImage;
        Retype(w->txtTxMult, QStringLiteral("2"));
        QTEST(Text(*w, "txtTXFreq", 4), "txAt2");
        QVERIFY(w->eeImage == image);
    }

    // Emptying a radio-wide field leaves the grid as it was; typing a value refreshes it.
    void emptyingFields_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("txRx");
        QTest::newRow("IF Freq.") << "txtIFFreq"
                                  << "10.7" << QStringList{"450.0000", "449.3000"};
        QTest::newRow("Rx Mult.") << "txtRxMult"
                                  << "1" << QStringList{"450.0000", "167.6000"};
        QTest::newRow("Tx Mult.") << "txtTxMult"
                                  << "1" << QStringList{"150.0000", "460.0000"};
        QTest::newRow("Ref. Freq.") << "txtRefFreq"
                                    << "6.6" << QStringList{"225.0000", "240.7000"};
    }
    void emptyingFields() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        auto w = OpenOnBand(1);
        Ref(*w, 0)->setCurrentIndex(2);
        Enter(*w, Name("txtTXFreq", 0), QStringLiteral("450.0000"));
        Enter(*w, Name("txtRxFreq", 0), QStringLiteral("460.0000"));
        const QList<QStringList> before = Grid(*w);
        auto* edit = Find<QLineEdit>(*w, field);
        Retype(edit, QString());
        QCOMPARE(Grid(*w), before);
        if (edit == w->txtRefFreq) {
            QCOMPARE(Ref(*w, 0)->itemText(0), QStringLiteral(".000/.000kHz"));
            QCOMPARE(Ref(*w, 15)->itemText(3), QStringLiteral(".000kHz"));
            QCOMPARE(Ref(*w, 15)->itemText(7), QStringLiteral("Disabled"));
        }
        Retype(edit, value);
        QTEST((QStringList{Text(*w, "txtTXFreq", 0), Text(*w, "txtRxFreq", 0)}), "txRx");
    }

    void bandSelection_data() {
        QTest::addColumn<bool>("clear");
        QTest::newRow("with clearing") << true;
        QTest::newRow("without clearing") << false;
    }
    void bandSelection() {
        QFETCH(bool, clear);
        auto w = OpenOnBand(0);
        QCOMPARE(FillRow(*w, 2), (QStringList{"146.5250", "146.5250", "3", "023", "", "1", "2", "1",
                                              "0", "0", "0"}));
        Ref(*w, 9)->setCurrentIndex(5);
        if (clear) w->mnuClrMemoryOnBandSelect->trigger();
        QCOMPARE(RowTexts(*w, 2)[0], QStringLiteral("146.5250")); // the option alone does nothing

        w->cmbBand->setCurrentIndex(1); // RefIndex 2, Tx Mult. 3, low side of 21.4 MHz
        QCOMPARE(w->txtTxMult->text(), QStringLiteral("3"));
        QVERIFY(w->optInjectionLo->isChecked());
        if (clear) {
            for (int r = 0; r < 16; ++r)
                QCOMPARE(RowTexts(*w, r),
                         (QStringList{"", "", "2", "", "", "0", "0", "0", "0", "0", "0"}));
            return;
        }
        // Same synthesizer words under the new parameters; no reference choice moves.
        QCOMPARE(RowTexts(*w, 2), (QStringList{"439.5750", "595.9750", "3", "023", "", "1", "2",
                                               "1", "0", "0", "0"}));
        QCOMPARE(Ref(*w, 9)->currentIndex(), 5);
        QCOMPARE(Ref(*w, 5)->currentIndex(), 0);
        // The reference texts follow the definition's CPU type in every row.
        w->cmbBand->setCurrentIndex(2);
        for (int r : {0, 15}) {
            QCOMPARE(Ref(*w, r)->itemText(0), QStringLiteral("Disabled"));
            QCOMPARE(Ref(*w, r)->itemText(7), QStringLiteral("5.500kHz"));
        }
    }

    void cpuLabel_data() {
        QTest::addColumn<int>("band");
        QTest::addColumn<int>("identity"); // -1: the band's own
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("lastItem");
        QTest::addColumn<int>("items");
        QTest::newRow("Delta-SX band") << 0 << -1 << 0 << "Delta-SX CPU - Revision 0"
                                       << "210 Sec" << 8;
        QTest::newRow("identified Delta-S rev 2") << 0 << 16 << 2 << "Delta-S CPU - Revision 2"
                                                  << "240 Sec" << 16;
        QTest::newRow("unknown CPU") << 0 << 18 << 3 << "CPU Type Unknown. ID: 18 - Revision 3"
                                     << "Off" << 1;
        QTest::newRow("no radio") << 2 << 0 << 0 << "No Radio Connected"
                                  << "Off" << 1;
    }
    void cpuLabel() {
        QFETCH(int, band);
        QFETCH(int, identity);
        QFETCH(int, revision);
        QFETCH(QString, lastItem);
        QFETCH(int, items);
        auto w = OpenOnBand(band);
        if (identity >= 0) w->Host().SetIdentity(int16_t(identity), int16_t(revision));
        QTEST(w->lblCPUType->text(), "label");
        for (int r : {0, 15}) {
            auto* cct = Find<QComboBox>(*w, Name("cmbCCT", r));
            QCOMPARE(cct->count(), items);
            QCOMPARE(cct->itemText(0), QStringLiteral("Off"));
            QCOMPARE(cct->itemText(items - 1), lastItem);
        }
    }

    void toneEntry_data() {
        QTest::addColumn<int>("band");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const QString rx = Name("txtRxTone", 0);
        QTest::newRow("23 gets its leading zero") << 0 << rx << "23"
                                                  << "023";
        QTest::newRow("340 is in the family of 023") << 0 << rx << "340"
                                                     << "023";
        QTest::newRow("203 is in the family of 754") << 0 << rx << "203"
                                                     << "754";
        QTest::newRow("047 has no listed family member") << 0 << rx << "047"
                                                         << "047";
        QTest::newRow("a point makes a CG tone") << 0 << rx << "100.0"
                                                 << "100.0";
        QTest::newRow("67 without a point is a DCG code") << 0 << rx << "67"
                                                          << "067";
        QTest::newRow("9 is code 000 and comes back empty") << 0 << rx << "9"
                                                            << "";
        QTest::newRow("777 cannot be stored") << 0 << rx << "777"
                                              << "";
        QTest::newRow("inverted: 023 reads back 023") << 3 << rx << "023"
                                                      << "023";
        QTest::newRow("inverted: 047 reads back 754") << 3 << rx << "047"
                                                      << "754";
        QTest::newRow("transmit field of channel 16") << 0 << Name("txtTxTone", 15) << "23"
                                                      << "023";
    }
    void toneEntry() {
        QFETCH(int, band);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        auto w = OpenOnBand(band);
        QList<QStringList> expected = Grid(*w);
        Enter(*w, field, typed);
        // Only this field changed; a full decode shows the same.
        expected[field.section(u'_', 1).toInt()]
                [field.startsWith(QStringLiteral("txtTx")) ? 3 : 4] = shown;
        QCOMPARE(Grid(*w), expected);
        w->RefreshValues(false);
        QCOMPARE(Grid(*w), expected);
    }

    void rowCopy_data() {
        QTest::addColumn<int>("source");
        QTest::newRow("channel 5") << 4;
        QTest::newRow("channel 16") << 15;
    }
    void rowCopy() {
        QFETCH(int, source);
        auto w = OpenOnBand(0);
        Enter(*w, Name("txtRxTone", source), QStringLiteral("131.8"));
        Find<QCheckBox>(*w, Name("chkRxZ", source))->setChecked(true);
        const QStringList row = FillRow(*w, source);
        QVERIFY(row[4].contains(u'.') && row[10] == QStringLiteral("1"));
        // A second click, when all rows already match, changes nothing; the copy is in the image.
        for (int click = 0; click < 2; ++click) {
            QTest::mouseClick(Find<QLabel>(*w, Name("lblChan", source)), Qt::LeftButton);
            QCOMPARE(Grid(*w), QList<QStringList>(16, row));
        }
        w->RefreshValues(true);
        QCOMPARE(Grid(*w), QList<QStringList>(16, row));
    }

    void refreshFalseDiscardsBoxEdit_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("invert");
        QTest::newRow("STE, Tx invert") << Name("chkSTE", 3) << "chkDCGInvertTx";
        QTest::newRow("Rx Z of channel 16, Rx invert") << Name("chkRxZ", 15) << "chkDCGInvertRx";
    }
    void refreshFalseDiscardsBoxEdit() {
        QFETCH(QString, box);
        QFETCH(QString, invert);
        auto w = OpenOnBand(0);
        auto* b = Find<QCheckBox>(*w, box);
        const bool stored = b->isChecked();
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(b->isChecked(), !stored);
        QTest::mouseClick(Find<QCheckBox>(*w, invert), Qt::LeftButton); // refreshes with false
        QCOMPARE(b->isChecked(), stored);
    }

    void invertTwiceRestores_data() {
        QTest::addColumn<QString>("invert");
        QTest::addColumn<int>("changedColumn");
        QTest::newRow("Tx DCG Invert") << "chkDCGInvertTx" << 3;
        QTest::newRow("Rx DCG Invert") << "chkDCGInvertRx" << 4;
    }
    void invertTwiceRestores() {
        QFETCH(QString, invert);
        QFETCH(int, changedColumn);
        auto w = OpenOnBand(0);
        Enter(*w, Name("txtTxTone", 0), QStringLiteral("023"));
        Enter(*w, Name("txtRxTone", 0), QStringLiteral("023"));
        Enter(*w, Name("txtTxTone", 2), QStringLiteral("131.8"));
        const QList<QStringList> before = Grid(*w);
        auto* b = Find<QCheckBox>(*w, invert);
        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(Grid(*w)[0][changedColumn] != before[0][changedColumn]);
        QCOMPARE(Grid(*w)[2][3], before[2][3]); // CG tones do not invert
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(Grid(*w), before);
    }

    void holdOffRefresh() {
        auto w = OpenOnBand(0);
        auto* tx = Find<QLineEdit>(*w, Name("txtTXFreq", 6));
        tx->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(tx, QStringLiteral("146.52"));
        const ostrand::EEImage image = w->eeImage;
        w->HoldOffRefresh = true;
        w->RefreshValues(true);
        QVERIFY(w->eeImage == image);
        QCOMPARE(tx->text(), QStringLiteral("146.52"));
        w->HoldOffRefresh = false;
    }
};

QTEST_MAIN(ChannelEditorTest)
#include "tst_channeleditor.moc"
