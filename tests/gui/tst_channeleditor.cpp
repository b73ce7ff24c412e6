// The channel grid at work: band selection, reference lists, radio-wide fields, CPU label,
// tone entry, row copy and the refresh between grid and image.
#include "GuiFixture.h"

#include "ui/StatusWindow.h"

#include <QRadioButton>
#include <QTimer>
#include <QWheelEvent>

using namespace fixture;

namespace {

// Reference 3, DCG 023, STE, timer position 2 and Tx W in row r.
QString Filled(int r) {
    return QStringLiteral("cmbRef_%1=3;txtTXFreq_%1=146.5250;txtRxFreq_%1=146.5250;"
                          "txtTxTone_%1=23;chkSTE_%1=1;cmbCCT_%1=2;chkTxW_%1=1")
        .arg(r);
}

} // namespace

class TestChannelEditor : public QObject {
    Q_OBJECT

private slots:
    void init() {
        WriteIni();
        WritePreferences();
    }

    // A radio-wide value the arithmetic cannot use stores nothing: leaving a frequency field,
    // a new reference, Save and Write Radio leave the image as it was, the field says why and
    // the refusals name it; edits stay in their fields. Typed back, the value shows the
    // channels as before. IF Freq. 0 is used (it only drops the offset), and loses nothing.
    void unusableRadioValues_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("reason"); // empty: the value is used
        const QStringList names{"Ref. Freq.", "IF Freq.", "Rx Mult.", "Tx Mult."};
        const QStringList fields{"txtRefFreq", "txtIFFreq", "txtRxMult", "txtTxMult"};
        const QStringList actions{"leave", "ref", "save", "write"};
        // Each field with each kind of value once, each action three times.
        for (int f = 0, a = 0; f < 4; ++f) {
            for (const QString value : {"", "x", "0"}) {
                QString reason = value.isEmpty() ? names[f] + " is empty"
                                 : value == "x"  ? names[f] + " \"x\" is not a number"
                                                 : names[f] + " must be greater than 0";
                if (f == 1 && value == "0") reason.clear();
                const QString action = actions[a++ % 4];
                QTest::newRow(qPrintable(fields[f] + "=" + value + " " + action))
                    << fields[f] << value << action << reason;
            }
        }
    }
    void unusableRadioValues() {
        QFETCH(QString, field);
        QFETCH(QString, reason);
        QFETCH(QString, action);
        QFETCH(QString, value);
        WriteIni(Ini(Home("/no-such-port")));
        Dialogs dialogs;
        dialogs.save = Home("/saved.DSX");
        auto w = OpenOnBand(0, {.fileDialogs = &dialogs, .timeScale = 0.001});
        Apply(*w, "cmbRef_0=3;txtTXFreq_0=147.0000;txtRxFreq_0=152.0000");
        const QString channel1 = Row(*w, 0), old = Find<QLineEdit>(*w, field)->text();
        const ostrand::EEImage image = w->Image();
        Apply(*w, field + "=" + value);
        QString said;
        QTimer::singleShot(0, w.get(), [&] {
            if (auto* status = w->findChild<ostrand::StatusWindow*>()) said = status->Text();
        });
        Apply(*w, QMap<QString, QString>{{"leave", "txtTXFreq_1=146.0000"},
                                         {"ref", "cmbRef_1=5"},
                                         {"save", "mnuSave"},
                                         {"write", "cmdWrite"}}[action]);
        if (!reason.isEmpty()) {
            QVERIFY(w->Image() == image);
            QVERIFY(Find(*w, field)->toolTip().startsWith(reason));
            const QString refusal = action == "save" ? "File Not Saved\n" : "Radio Not Written\n";
            QCOMPARE(said, action == "save" || action == "write" ? refusal + reason : QString());
            QCOMPARE(Row(*w, 1).section(',', 0, 2), action == "leave" ? "146.0000,,0"
                                                    : action == "ref" ? ",,5"
                                                                      : ",,0");
        }
        Apply(*w, field + "=" + old + ";txtTXFreq_0=147.0000");
        QCOMPARE(Row(*w, 0), channel1);
        QVERIFY(Find(*w, field)->toolTip().isEmpty());
    }

    // Emptying a radio-wide field leaves the grid as it was; a new value (or injection side)
    // re-shows the stored words under it, and the reference items follow Ref. Freq. Neither
    // touches the image.
    void radioWideFields_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("txRx");
        auto row = [](const char* what, const char* field, const char* value, const char* txRx) {
            QTest::newRow(what) << QString(field) << QString(value) << QString(txRx);
        };
        row("IF Freq.", "txtIFFreq", "10.7", "451.5150,449.3000,5.000kHz");
        row("Rx Mult.", "txtRxMult", "1", "451.5150,167.6000,5.000kHz");
        row("Tx Mult. 3 to 2, rounded", "txtTxMult", "2", "301.0100,460.0000,5.000kHz");
        row("Ref. Freq., reference items too", "txtRefFreq", "6.6", "225.7575,240.7000,2.500kHz");
        row("high side: Rx twice the IF lower", "optInjectionHi", "", "451.5150,417.2000,5.000kHz");
    }
    void radioWideFields() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        auto w = OpenOnBand(1); // Tx Mult. 3, Rx Mult. 3, low side of 21.4 MHz
        Apply(*w, "cmbRef_0=2;txtTXFreq_0=451.5150;txtRxFreq_0=460.0000");
        const QStringList before = Grid(*w);
        const ostrand::EEImage image = w->Image();
        if (auto* edit = qobject_cast<QLineEdit*>(Find(*w, field))) {
            edit->setFocus(Qt::TabFocusReason);
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
            QCOMPARE(Grid(*w), before);
            QTest::keyClicks(edit, value);
        } else {
            QTest::mouseClick(Find(*w, field), Qt::LeftButton);
        }
        QTEST(Row(*w, 0).section(u',', 0, 1) + u',' +
                  Find<QComboBox>(*w, "cmbRef", 0)->currentText(),
              "txRx");
        QVERIFY(w->Image() == image);
    }

    // A definition's values wider than their fields are shown (and used) whole.
    void wideDefinitionValues() {
        WriteIni(Ini().replace("[RefTableDef]",
                               "Name6=Wide\nTxMult6=12\nRxMult6=10\nIFFreq6=100.5\n"
                               "RefOsc6=128.25\n[RefTableDef]"));
        auto w = OpenOnBand(5);
        QCOMPARE(QStringList({Text(*w, "txtTxMult"), Text(*w, "txtRxMult"), Text(*w, "txtIFFreq"),
                              Text(*w, "txtRefFreq")}),
                 QStringList({"12", "10", "100.5", "128.3"}));
    }

    // The wheel over a list without keyboard focus changes nothing (over the band list it
    // would clear the grid); with focus it moves the list.
    void wheelOnlyWithFocus() {
        auto w = OpenOnBand(0);
        Apply(*w, Filled(4) + ";mnuClrMemoryOnBandSelect");
        for (const char* name : {"cmbRef_4", "cmbCCT_4", "cmbBand"}) {
            auto* list = Find<QComboBox>(*w, name);
            const QStringList grid = Grid(*w);
            const int position = list->currentIndex();
            QWheelEvent notch({5, 5}, list->mapToGlobal(QPointF(5, 5)), {}, {0, -120}, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(list, &notch);
            QCOMPARE(Grid(*w), grid);
            list->setFocus();
            QApplication::sendEvent(list, &notch);
            QCOMPARE(list->currentIndex(), position + 1);
        }
    }

    // The CPU line and the CCT lists follow the definition's CPU type; the reference lists
    // change their pair and "Disabled" item with it.
    void cpuLabel_data() {
        QTest::addColumn<int>("identity");
        QTest::addColumn<QString>("shown"); // label, timer items, last one, first reference
        auto row = [](const char* what, int id, const char* shown) {
            QTest::newRow(what) << id << QString(shown);
        };
        row("Delta-SX", 17, "Delta-SX CPU - Revision 0|8|210 Sec|4.167/6.250kHz");
        row("Delta-S", 16, "Delta-S CPU - Revision 0|16|240 Sec|Disabled");
        row("unknown", 18, "CPU Type Unknown. ID: 18 - Revision 0|1|Off|4.167/6.250kHz");
        row("no radio", 0, "No Radio Connected|1|Off|4.167/6.250kHz");
    }
    void cpuLabel() {
        QFETCH(int, identity);
        WriteIni(Ini().replace("RadioID1=17", "RadioID1=" + QByteArray::number(identity)));
        auto w = OpenOnBand(0);
        auto* cct = Find<QComboBox>(*w, "cmbCCT", 15);
        const QString last = cct->itemText(cct->count() - 1);
        const QString ref = Find<QComboBox>(*w, "cmbRef", 15)->itemText(0);
        QTEST(QStringList({Text(*w, "lblCPUType"), QString::number(cct->count()), last, ref})
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
        row("Rx invert twice", 0, tones + "chkDCGInvertRx;chkDCGInvertRx",
            QByteArray("0=,,0,023,023,1,0,0,0,0,0") + cg);
        // A channel's label copies its row into every row; a second click changes nothing.
        const char* copy = "*=146.5250,146.5250,3,023,100.0,1,2,1,0,0,1";
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

QTEST_MAIN(TestChannelEditor)
#include "tst_channeleditor.moc"
