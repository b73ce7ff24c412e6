// Start-up, shutdown, preferences, debug log, configuration reload, menus and tab order.
#include "GuiFixture.h"

#include "editor/ChannelGrid.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>

using namespace fixture;
using ostrand::frmDelta;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        WriteIni();
        WritePreferences(std::nullopt, std::nullopt);
        QFile::remove(Home() + QStringLiteral("/debug.log"));
    }

    void menus_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("items"); // name=caption, "-" for a separator
        QTest::newRow("file menu")
            << "mnuFile" << QStringList{"mnuOpen=&Open", "mnuSave=&Save", "-", "mnuExit=E&xit"};
        QTest::newRow("options menu")
            << "mnuOptions"
            << QStringList{"mnuClrMemoryOnBandSelect=Clear memory on new band select", "-",
                           "mnuConfig=&Configuration", "-", "mnuDebug=&Debug"};
    }
    void menus() {
        QFETCH(QString, menu);
        QFETCH(QStringList, items);
        auto w = Open();
        auto* m = Find<QMenu>(*w, menu);
        QStringList seen;
        for (QAction* a : m->actions())
            seen << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + u'=' + a->text());
        QCOMPARE(seen, items);
        QStringList top;
        for (QAction* a : w->menuBar()->actions())
            top << a->text();
        QCOMPARE(top, (QStringList{"&File", "&Options", "&About"}));
        QVERIFY(w->mnuClrMemoryOnBandSelect->isCheckable());
        QVERIFY(w->mnuDebug->isCheckable());
        QCOMPARE(w->windowTitle(), QStringLiteral("Ostrand"));
    }

    void startupPreferences_data() {
        QTest::addColumn<std::optional<QString>>("clearText");
        QTest::addColumn<std::optional<QString>>("indexText");
        QTest::addColumn<bool>("clearChecked");
        QTest::addColumn<int>("band");
        using S = std::optional<QString>;
        QTest::newRow("empty store: unchecked, first band") << S{} << S{} << false << 0;
        QTest::newRow("stored True and band 2") << S{"True"} << S{"2"} << true << 2;
        QTest::newRow("position beyond the list selects the first")
            << S{"False"} << S{"5"} << false << 0;
        QTest::newRow("stored -1 selects nothing") << S{} << S{"-1"} << false << -1;
        QTest::newRow("lower-case true still reads as true") << S{"true"} << S{"1"} << true << 1;
        QTest::newRow("texts that are no boolean or number give the defaults")
            << S{"yes"} << S{"two"} << false << 0;
        QTest::newRow("position below -1 selects the first") << S{} << S{"-7"} << false << 0;
    }
    void startupPreferences() {
        QFETCH(std::optional<QString>, clearText);
        QFETCH(std::optional<QString>, indexText);
        QFETCH(bool, clearChecked);
        QFETCH(int, band);
        WritePreferences(clearText, indexText);
        auto w = Open();
        QCOMPARE(w->mnuClrMemoryOnBandSelect->isChecked(), clearChecked);
        QVERIFY(!w->mnuDebug->isChecked());
        QCOMPARE(w->cmbBand->currentIndex(), band);
        if (band < 0) {
            // No definition applied: the fields stay empty.
            QCOMPARE(w->txtRefFreq->text(), QString());
            QCOMPARE(w->txtTxMult->text(), QString());
            QCOMPARE(w->lblCPUType->text(), QStringLiteral("No Radio Connected"));
        } else {
            QCOMPARE(w->txtRefFreq->text(), QStringLiteral("13.2"));
            QVERIFY(w->lblCPUType->text().endsWith(QStringLiteral("Revision 0")));
        }
    }

    void shutdownStores_data() {
        QTest::addColumn<int>("band");
        QTest::addColumn<bool>("flipClear");
        QTest::addColumn<QString>("storedIndex");
        QTest::addColumn<QString>("storedClear");
        QTest::newRow("no band selected stores -1") << -1 << false << "-1"
                                                    << "False";
        QTest::newRow("band 3 and the option flipped on") << 3 << true << "3"
                                                          << "True";
    }
    void shutdownStores() {
        QFETCH(int, band);
        QFETCH(bool, flipClear);
        QFETCH(QString, storedIndex);
        QFETCH(QString, storedClear);
        auto w = Open();
        w->cmbBand->setCurrentIndex(band);
        if (flipClear) w->mnuClrMemoryOnBandSelect->trigger();
        w->mnuExit->trigger();
        QVERIFY(!w->isVisible());
        QCOMPARE(StoredPreference("RadioIndex"), storedIndex);
        QCOMPARE(StoredPreference("ClearOnNewBandSelect"), storedClear);
    }

    void debugLog_data() {
        QTest::addColumn<bool>("debug");
        QTest::addColumn<int>("lines");
        QTest::newRow("debug on: exit logs one line") << true << 1;
        QTest::newRow("debug off: nothing is written") << false << 0;
    }
    void debugLog() {
        QFETCH(bool, debug);
        QFETCH(int, lines);
        auto w = Open();
        if (debug) w->mnuDebug->trigger();
        w->close();
        w->close(); // shutdown runs once, however often the window is closed
        QFile log(Home() + QStringLiteral("/debug.log"));
        if (lines == 0) {
            QVERIFY(!log.exists());
            return;
        }
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromLocal8Bit(log.readAll());
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d : AppExit: -{50}\r\n$"))
                     .match(text)
                     .hasMatch(),
                 qPrintable(text));
    }

    void debugLogUnwritable() {
        // A folder where the log file should be: logging fails, the exit still stores.
        QDir().mkpath(Home() + QStringLiteral("/debug.log"));
        auto w = Open();
        w->mnuDebug->trigger();
        w->cmbBand->setCurrentIndex(1);
        w->debug_log(QStringLiteral("first"));
        w->close();
        QCOMPARE(StoredPreference("RadioIndex"), QStringLiteral("1"));
        QDir(Home() + QStringLiteral("/debug.log")).removeRecursively();
    }

    void reload_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("txMult"); // shows that the new definition was applied
        QTest::newRow("second of five stays selected and is applied again") << 1 << 1 << "7";
        QTest::newRow("third of five falls back to the first") << 2 << 0 << "5";
        QTest::newRow("no selection stays without selection") << -1 << -1 << "";
    }
    void reload() {
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(QString, txMult);
        WritePreferences(std::nullopt, QString::number(before));
        auto w = Open();
        QCOMPARE(w->cmbBand->currentIndex(), before);
        WriteIni("[RadioDef]\nName1=A\nTxMult1=5\nRadioID1=17\nName2=B\nTxMult2=7\nRadioID2=16\n");
        w->ReadINIFile();
        QCOMPARE(w->cmbBand->count(), 2);
        QCOMPARE(w->cmbBand->currentIndex(), after);
        QCOMPARE(w->txtTxMult->text(), txMult);
    }

    void noDefinitions() {
        WriteIni("[Serial]\nCommPort=2\n");
        auto w = Open();
        QCOMPARE(w->cmbBand->count(), 0);
        QCOMPARE(w->cmbBand->currentIndex(), -1);
        for (QLineEdit* f : {w->txtRefFreq, w->txtIFFreq, w->txtRxMult, w->txtTxMult})
            QCOMPARE(f->text(), QString());
        Enter(*w, Name("txtTXFreq", 0), QStringLiteral("146.5200"));
        Enter(*w, Name("txtRxTone", 0), QStringLiteral("023"));
        // Without a divider table no frequency can be shown.
        for (int r = 0; r < 16; ++r) {
            QCOMPARE(Find<QLineEdit>(*w, Name("txtTXFreq", r))->text(), QString());
            QCOMPARE(Find<QLineEdit>(*w, Name("txtRxFreq", r))->text(), QString());
        }
        QCOMPARE(Find<QComboBox>(*w, Name("cmbRef", 0))->itemText(1), QStringLiteral("Disabled"));
    }

    void tabOrder_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("walk");
        QTest::newRow("row 1 in record order, then row 2")
            << Name("txtTXFreq", 0)
            << QStringList{Name("txtRxFreq", 0), Name("cmbRef", 0),   Name("txtTxTone", 0),
                           Name("txtRxTone", 0), Name("chkSTE", 0),   Name("cmbCCT", 0),
                           Name("chkTxW", 0),    Name("chkTxZ", 0),   Name("chkRxW", 0),
                           Name("chkRxZ", 0),    Name("txtTXFreq", 1)};
        QTest::newRow("row 15 into row 16")
            << Name("chkRxW", 14) << QStringList{Name("chkRxZ", 14), Name("txtTXFreq", 15)};
    }
    void tabOrder() {
        QFETCH(QString, start);
        QFETCH(QStringList, walk);
        auto w = Open();
        QWidget* at = Find<QWidget>(*w, start);
        for (const QString& next : walk) {
            at = at->nextInFocusChain();
            while (!(at->focusPolicy() & Qt::TabFocus))
                at = at->nextInFocusChain();
            QCOMPARE(at->objectName(), next);
        }
    }

    void initialItems() {
        WriteIni("");
        auto w = Open();
        QCOMPARE(Find<QComboBox>(*w, Name("cmbRef", 7))->count(), 8);
        QCOMPARE(ostrand::InitialReferenceItems().first(), QStringLiteral("4.166/6.25kHz"));
        QCOMPARE(ostrand::InitialCctItems().last(), QStringLiteral("210 Sec"));
        for (const char* stem : {"txtTXFreq", "txtRxFreq"})
            QCOMPARE(Find<QLineEdit>(*w, Name(stem, 3))->maxLength(), 9);
        for (const char* stem : {"txtTxTone", "txtRxTone"})
            QCOMPARE(Find<QLineEdit>(*w, Name(stem, 3))->maxLength(), 5);
        QCOMPARE(w->txtRefFreq->maxLength(), 4);
        QCOMPARE(w->txtTxMult->maxLength(), 1);
        QCOMPARE(Find<QLabel>(*w, "lblTxWZ")->text(), QStringLiteral("W     Z"));
        QCOMPARE(Find<QLabel>(*w, Name("lblChan", 15))->text(), QStringLiteral("16"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
