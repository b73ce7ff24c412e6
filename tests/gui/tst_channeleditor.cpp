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
    QTest::keyClick(field, Qt::Key_Backspace);
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

    void injectionSwitch() {
        // Low side shows the receive frequency twice the IF higher; the image stays as it was.
        auto w = OpenOnBand(0);
        Ref(*w, 15)->setCurrentIndex(3);
        Enter(*w, Name("txtRxFreq", 15), QStringLiteral("155.0000"));
        Enter(*w, Name("txtTXFreq", 15), QStringLiteral("150.0000"));
        const ostrand::EEImage image = w->eeImage;
        QTest::mouseClick(w->optInjectionLo, Qt::LeftButton);
        QCOMPARE(Text(*w, "txtRxFreq", 15), QStringLiteral("245.0000"));
        QCOMPARE(Text(*w, "txtTXFreq", 15), QStringLiteral("150.0000"));
        QVERIFY(w->eeImage == image);
    }

    // Emptying a radio-wide field leaves the grid as it was; typing a value re-shows the stored
    // words under it. Neither touches the image.
    void radioWideFields_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("txRx");
        QTest::newRow("IF Freq.") << "txtIFFreq"
                                  << "10.7" << QStringList{"451.5150", "449.3000"};
        QTest::newRow("Rx Mult.") << "txtRxMult"
                                  << "1" << QStringList{"451.5150", "167.6000"};
        QTest::newRow("Tx Mult. 3 to 2, rounded") << "txtTxMult"
                                                  << "2" << QStringList{"301.0100", "460.0000"};
        QTest::newRow("Ref. Freq.") << "txtRefFreq"
                                    << "6.6" << QStringList{"225.7575", "240.7000"};
    }
    void radioWideFields() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        auto w = OpenOnBand(1); // Tx Mult. 3, Rx Mult. 3, low side of 21.4 MHz
        Ref(*w, 0)->setCurrentIndex(2);
        Enter(*w, Name("txtTXFreq", 0), QStringLiteral("451.5150"));
        Enter(*w, Name("txtRxFreq", 0), QStringLiteral("460.0000"));
        const QList<QStringList> before = Grid(*w);
        const ostrand::EEImage image = w->eeImage;
        auto* edit = Find<QLineEdit>(*w, field);
        Retype(edit, QString());
        QCOMPARE(Grid(*w), before);
        Retype(edit, value);
        QTEST((QStringList{Text(*w, "txtTXFreq", 0), Text(*w, "txtRxFreq", 0)}), "txRx");
        QVERIFY(w->eeImage == image);
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
        QCOMPARE(Ref(*w, 15)->itemText(0), QStringLiteral("Disabled"));
        QCOMPARE(Ref(*w, 15)->itemText(7), QStringLiteral("5.500kHz"));
    }

    void cpuLabel_data() {
        QTest::addColumn<int>("band");
        QTest::addColumn<int>("identity");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("lastItem");
        QTest::addColumn<int>("items");
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
        w->Host().SetIdentity(int16_t(identity), int16_t(revision));
        QTEST(w->lblCPUType->text(), "label");
        auto* cct = Find<QComboBox>(*w, Name("cmbCCT", 15));
        QCOMPARE(cct->count(), items);
        QCOMPARE(cct->itemText(items - 1), lastItem);
    }

    void toneEntry_data() {
        QTest::addColumn<int>("band");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* what, int band, const QString& field, const char* typed,
                            const char* shown) {
            QTest::newRow(what) << band << field << QString(typed) << QString(shown);
        };
        const QString rx = Name("txtRxTone", 0);
        row("23 gets its leading zero", 0, rx, "23", "023");
        row("a point makes a CG tone", 0, rx, "100.0", "100.0");
        row("9 is code 000 and comes back empty", 0, rx, "9", "");
        row("777 cannot be stored", 0, rx, "777", "");
        row("inverted: 047 reads back 754", 3, rx, "047", "754");
        row("transmit field of channel 16", 0, Name("txtTxTone", 15), "23", "023");
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

    // Clicking a channel's label copies its row into every row and into the image; a second
    // click, when all rows already match, changes nothing.
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
        for (int click = 0; click < 2; ++click) {
            QTest::mouseClick(Find<QLabel>(*w, Name("lblChan", source)), Qt::LeftButton);
            QCOMPARE(Grid(*w), QList<QStringList>(16, row));
        }
        w->RefreshValues(true);
        QCOMPARE(Grid(*w), QList<QStringList>(16, row));
    }

    // An invert box shows the stored DCG words inverted (CG tones stay) and refreshes without
    // storing, which discards a box clicked but not yet stored; clicked twice, all is as before.
    void invertToggles_data() {
        QTest::addColumn<QString>("invert");
        QTest::addColumn<int>("toneColumn");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("box");
        QTest::newRow("Tx DCG Invert, STE of channel 4") << "chkDCGInvertTx" << 3 << 3 << "chkSTE";
        QTest::newRow("Rx DCG Invert, Rx Z of channel 16")
            << "chkDCGInvertRx" << 4 << 15 << "chkRxZ";
    }
    void invertToggles() {
        QFETCH(QString, invert);
        QFETCH(int, toneColumn);
        QFETCH(int, row);
        QFETCH(QString, box);
        auto w = OpenOnBand(0);
        Enter(*w, Name("txtTxTone", 0), QStringLiteral("023"));
        Enter(*w, Name("txtRxTone", 0), QStringLiteral("023"));
        Enter(*w, Name("txtTxTone", 2), QStringLiteral("131.8"));
        const QList<QStringList> before = Grid(*w);
        QTest::mouseClick(Find<QCheckBox>(*w, Name(qPrintable(box), row)), Qt::LeftButton);
        QVERIFY(Grid(*w) != before);
        auto* b = Find<QCheckBox>(*w, invert);
        QTest::mouseClick(b, Qt::LeftButton);
        QList<QStringList> inverted = before;
        inverted[0][toneColumn] = QStringLiteral("754");
        QCOMPARE(Grid(*w), inverted);
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(Grid(*w), before);
    }
};

QTEST_MAIN(ChannelEditorTest)
#include "tst_channeleditor.moc"
