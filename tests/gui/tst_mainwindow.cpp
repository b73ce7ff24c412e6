// Start-up, shutdown, preferences, debug log and configuration reload.
#include "GuiFixture.h"

#include <QFileInfo>
#include <QRegularExpression>

using namespace fixture;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        WriteIni();
        WritePreferences(std::nullopt, std::nullopt);
        QDir(Home() + QStringLiteral("/debug.log")).removeRecursively();
        QFile::remove(Home() + QStringLiteral("/debug.log"));
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
        QTest::newRow("below -1 selects the first") << S{} << S{"-4"} << false << 0;
        QTest::newRow("texts that are no boolean or number give the defaults")
            << S{"yes"} << S{"two"} << false << 0;
    }
    void startupPreferences() {
        QFETCH(std::optional<QString>, clearText);
        QFETCH(std::optional<QString>, indexText);
        QFETCH(int, band);
        WritePreferences(clearText, indexText);
        auto w = Open();
        QTEST(w->mnuClrMemoryOnBandSelect->isChecked(), "clearChecked");
        QVERIFY(!w->mnuDebug->isChecked());
        QCOMPARE(w->cmbBand->currentIndex(), band);
        // Applied or not: the definition's fields are shown only when one is selected.
        QCOMPARE(w->txtRefFreq->text(), band < 0 ? QString() : QStringLiteral("13.2"));
        QCOMPARE(w->lblCPUType->text().endsWith(QStringLiteral("Revision 0")), band >= 0);
    }

    void shutdownStores_data() {
        QTest::addColumn<int>("band");
        QTest::addColumn<bool>("flipClear");
        QTest::addColumn<bool>("logUnwritable"); // a folder where the log file should be
        QTest::addColumn<QString>("storedIndex");
        QTest::addColumn<QString>("storedClear");
        QTest::newRow("no band selected stores -1") << -1 << false << false << "-1"
                                                    << "False";
        QTest::newRow("band 3 and the option flipped on") << 3 << true << false << "3"
                                                          << "True";
        QTest::newRow("a failing debug log does not stop the exit") << 1 << false << true << "1"
                                                                    << "False";
    }
    void shutdownStores() {
        QFETCH(int, band);
        QFETCH(bool, flipClear);
        QFETCH(bool, logUnwritable);
        auto w = Open();
        w->cmbBand->setCurrentIndex(band);
        if (flipClear) w->mnuClrMemoryOnBandSelect->trigger();
        if (logUnwritable) {
            QDir().mkpath(Home() + QStringLiteral("/debug.log"));
            w->mnuDebug->trigger();
            w->debug_log(QStringLiteral("first"));
        }
        w->mnuExit->trigger();
        QVERIFY(!w->isVisible());
        QTEST(StoredPreference("RadioIndex"), "storedIndex");
        QTEST(StoredPreference("ClearOnNewBandSelect"), "storedClear");
        QVERIFY(!QFileInfo(Home() + QStringLiteral("/debug.log")).isFile()); // debug was off
    }

    void debugLog() {
        auto w = Open();
        w->mnuDebug->trigger();
        w->close();
        w->close(); // shutdown runs once, however often the window is closed
        QFile log(Home() + QStringLiteral("/debug.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromLocal8Bit(log.readAll());
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d : AppExit: -{50}\r\n$"))
                     .match(text)
                     .hasMatch(),
                 qPrintable(text));
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
        WritePreferences(std::nullopt, QString::number(before));
        auto w = Open();
        WriteIni("[RadioDef]\nName1=A\nTxMult1=5\nRadioID1=17\nName2=B\nTxMult2=7\nRadioID2=16\n");
        w->ReadINIFile();
        QCOMPARE(w->cmbBand->count(), 2);
        QTEST(w->cmbBand->currentIndex(), "after");
        QTEST(w->txtTxMult->text(), "txMult");
    }

    void noDefinitions() {
        // Without a divider table no frequency can be stored or shown.
        WriteIni("[Serial]\nCommPort=2\n");
        auto w = Open();
        QCOMPARE(w->cmbBand->currentIndex(), -1);
        Enter(*w, Name("txtTXFreq", 0), QStringLiteral("146.5200"));
        QCOMPARE(Find<QLineEdit>(*w, Name("txtTXFreq", 0))->text(), QString());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
