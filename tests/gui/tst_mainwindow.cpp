// Start-up, shutdown, preferences, debug log and configuration reload.
#include "GuiFixture.h"

#include "ui/StatusWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

using namespace fixture;

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init() {
        WriteIni();
        WritePreferences();
        QDir(Home("/debug.log")).removeRecursively();
        QFile::remove(Home("/debug.log"));
    }

    // Shown: the option's check mark, Debug's, the band position, and whether the definition
    // was applied (its Ref. Freq. and a CPU line of revision 0).
    void startupPreferences_data() {
        QTest::addColumn<QString>("clear");
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("shown");
        auto row = [](const char* what, const char* clear, const char* index, const char* shown) {
            QTest::newRow(what) << QString(clear) << QString(index) << QString(shown);
        };
        row("empty store: unchecked, first band", nullptr, nullptr, "0,0,0,13.2,1");
        row("stored True and band 2", "True", "2", "1,0,2,13.2,1");
        row("position beyond the list selects the first", "False", "5", "0,0,0,13.2,1");
        row("stored -1 selects nothing", nullptr, "-1", "0,0,-1,,0");
        row("below -1 selects the first", nullptr, "-4", "0,0,0,13.2,1");
        row("no boolean or number: the defaults", "yes", "two", "0,0,0,13.2,1");
    }
    void startupPreferences() {
        QFETCH(QString, clear);
        QFETCH(QString, index);
        WritePreferences(clear, index);
        auto w = Open();
        const bool applied = w->lblCPUType->text().endsWith("Revision 0");
        QTEST(QStringLiteral("%1,%2,%3,%4,%5")
                  .arg(w->mnuClrMemoryOnBandSelect->isChecked())
                  .arg(w->mnuDebug->isChecked())
                  .arg(w->cmbBand->currentIndex())
                  .arg(w->txtRefFreq->text())
                  .arg(applied),
              "shown");
    }

    // Shutdown runs once, however often the window is closed, and a failing debug log does not
    // stop it. Debug: 0 off, 1 on, 2 on with a folder where the log file should be.
    void shutdown_data() {
        QTest::addColumn<int>("band");
        QTest::addColumn<bool>("flipClear");
        QTest::addColumn<int>("debug");
        QTest::addColumn<QString>("stored"); // RadioIndex, ClearOnNewBandSelect
        QTest::newRow("no band selected stores -1") << -1 << false << 0 << QString("-1,False");
        QTest::newRow("band 3, the option flipped on") << 3 << true << 0 << QString("3,True");
        QTest::newRow("debug on: one AppExit line") << 0 << false << 1 << QString("0,False");
        QTest::newRow("log unwritable") << 1 << false << 2 << QString("1,False");
    }
    void shutdown() {
        QFETCH(int, band);
        QFETCH(int, debug);
        auto w = Open();
        w->cmbBand->setCurrentIndex(band);
        if (QFETCH(bool, flipClear); flipClear) w->mnuClrMemoryOnBandSelect->trigger();
        if (debug == 2) QDir().mkpath(Home("/debug.log"));
        if (debug) w->mnuDebug->trigger();
        w->mnuExit->trigger();
        w->close();
        QVERIFY(!w->isVisible());
        QTEST(StoredPreference("RadioIndex") + ',' + StoredPreference("ClearOnNewBandSelect"),
              "stored");
        QFile log(Home("/debug.log"));
        QCOMPARE(QFileInfo(log).isFile(), debug == 1);
        if (debug != 1) return;
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromLocal8Bit(log.readAll());
        const QRegularExpression line("^\\d\\d:\\d\\d:\\d\\d : AppExit: -{50}\r\n$");
        QVERIFY2(line.match(text).hasMatch(), qPrintable(text));
    }

    // A close while the configuration editor runs waits for it: closing at once would end
    // the program and take the editor, with the operator's unsaved changes, down with it.
    void closeWhileEditingConfiguration() {
        QTemporaryDir bin;
        // Named as a graphical editor so it runs directly; it ends once the test lets it.
        const QString editor = bin.filePath("gedit");
        QFile script(editor);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nn=0\nwhile [ ! -e \"$0.go\" ] && [ $n -lt 600 ]; do\n"
                     "sleep 0.05; n=$((n+1)); done\n");
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
        qputenv("VISUAL", editor.toLocal8Bit());
        WritePreferences({}, "1");
        auto w = Open();
        bool disabled = false, shownAfterClose = false;
        QTimer::singleShot(0, w.get(), [&] {
            disabled = !w->isEnabled();
            w->cmbBand->setCurrentIndex(3);
            w->close();
            shownAfterClose = w->isVisible();
            QFile(editor + ".go").open(QIODevice::WriteOnly);
        });
        w->mnuConfig->trigger();
        qunsetenv("VISUAL");
        QVERIFY(disabled);
        QVERIFY(shownAfterClose);
        QVERIFY(!w->isVisible());
        QCOMPARE(StoredPreference("RadioIndex"), "3");
    }

    // After start-up Tab walks the grid from its first field, row by row, then the band list.
    void tabOrder() {
        auto w = Open();
        QStringList walked{QApplication::focusWidget()->objectName()}, expected;
        for (int r = 0; r < 16; ++r)
            for (const char* stem : {"txtTXFreq", "txtRxFreq", "cmbRef", "txtTxTone", "txtRxTone",
                                     "chkSTE", "cmbCCT", "chkTxW", "chkTxZ", "chkRxW", "chkRxZ"})
                expected << QStringLiteral("%1_%2").arg(stem).arg(r);
        expected << "cmbBand";
        while (walked.size() < expected.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, expected);
    }

    // A home without Ostrand.ini is given the sample and says so, once; without a sample to
    // copy it says that, every time.
    void missingConfiguration() {
        const QString beside = QCoreApplication::applicationDirPath() + "/Ostrand.ini";
        for (const QString said : {"no sample configuration to copy", "no sample",
                                   "a copy of the sample configuration is there now", ""}) {
            if (!said.isEmpty()) QFile::remove(Home("/Ostrand.ini"));
            if (said.startsWith("a copy"))
                QVERIFY(QFile::copy(
                    qEnvironmentVariable("OSTRAND_SOURCE_DIR") + "/data/Ostrand.ini", beside));
            auto w = Open();
            QCoreApplication::processEvents();
            auto* status = w->findChild<ostrand::StatusWindow*>();
            QVERIFY(said.isEmpty() ? !status : status && status->Text().contains(said));
            QCOMPARE(w->cmbBand->count(), QFile::exists(beside) ? 3 : 0);
        }
        QFile::remove(beside);
    }

    void reload_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("txMult"); // shows that the new definition was applied
        QTest::newRow("second of five stays selected, applied again") << 1 << 1 << QString("7");
        QTest::newRow("third of five falls back to the first") << 2 << 0 << QString("5");
        QTest::newRow("no selection stays without selection") << -1 << -1 << QString();
    }
    void reload() {
        QFETCH(int, before);
        WritePreferences({}, QString::number(before));
        auto w = Open();
        WriteIni("[RadioDef]\nName1=A\nTxMult1=5\nRadioID1=17\nName2=B\nTxMult2=7\nRadioID2=16\n");
        w->ReadINIFile();
        QCOMPARE(w->cmbBand->count(), 2);
        QTEST(w->cmbBand->currentIndex(), "after");
        QTEST(w->txtTxMult->text(), "txMult");
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
