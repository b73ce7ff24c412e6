// Start-up, shutdown, preferences, debug log, configuration reload and the file flows.
#include "GuiFixture.h"

#include "ui/StatusWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

using namespace fixture;

namespace {

// The status window's text at the first turn of the event loop (during a failure's pause).
QString StatusSeenDuring(MainWindow& w, const QString& edits) {
    QString said;
    QTimer::singleShot(0, &w, [&] {
        if (auto* status = w.findChild<ostrand::StatusWindow*>()) said = status->Text();
    });
    Apply(w, edits);
    return said;
}

} // namespace

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
        row("no boolean or number: the defaults", "yes", "two", "0,0,0,13.2,1");
    }
    void startupPreferences() {
        QFETCH(QString, clear);
        QFETCH(QString, index);
        WritePreferences(clear, index);
        auto w = Open();
        QTEST(QStringLiteral("%1,%2,%3,%4,%5")
                  .arg(Find<QAction>(*w, "mnuClrMemoryOnBandSelect")->isChecked())
                  .arg(Find<QAction>(*w, "mnuDebug")->isChecked())
                  .arg(Find<QComboBox>(*w, "cmbBand")->currentIndex())
                  .arg(Text(*w, "txtRefFreq"))
                  .arg(Text(*w, "lblCPUType").endsWith("Revision 0")),
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
        Find<QComboBox>(*w, "cmbBand")->setCurrentIndex(band);
        if (QFETCH(bool, flipClear); flipClear) Apply(*w, "mnuClrMemoryOnBandSelect");
        if (debug == 2) QDir().mkpath(Home("/debug.log"));
        if (debug) Apply(*w, "mnuDebug");
        Apply(*w, "mnuExit");
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
        auto w = OpenOnBand(1);
        bool disabled = false, shownAfterClose = false;
        QTimer::singleShot(0, w.get(), [&] {
            disabled = !w->isEnabled();
            Find<QComboBox>(*w, "cmbBand")->setCurrentIndex(3);
            w->close();
            shownAfterClose = w->isVisible();
            QFile(editor + ".go").open(QIODevice::WriteOnly);
        });
        Apply(*w, "mnuConfig");
        qunsetenv("VISUAL");
        QVERIFY(disabled && shownAfterClose && !w->isVisible());
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
            QCOMPARE(Find<QComboBox>(*w, "cmbBand")->count(), QFile::exists(beside) ? 3 : 0);
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
        auto w = OpenOnBand(before);
        WriteIni("[RadioDef]\nName1=A\nTxMult1=5\nRadioID1=17\nName2=B\nTxMult2=7\nRadioID2=16\n");
        w->ReadINIFile();
        QCOMPARE(Find<QComboBox>(*w, "cmbBand")->count(), 2);
        QTEST(Find<QComboBox>(*w, "cmbBand")->currentIndex(), "after");
        QTEST(Text(*w, "txtTxMult"), "txMult");
    }

    // File Open: the dialog's filter follows the definition's extension; a file that is no
    // personality is refused in the status window, one that cannot be read silently; neither
    // changes the image.
    void open_data() {
        QTest::addColumn<int>("band");
        QTest::addColumn<QByteArray>("content"); // "-": no such file
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("said");
        const QByteArray digits(256, '5');
        QTest::newRow("DSX definition, loaded") << 2 << digits << "Delta SX (*.DSX)" << QString();
        QTest::newRow("D: all formats; 255 digits refused")
            << 0 << digits.left(255) << "All Delta Formats (*.D*)"
            << "Invalid Input File";
        QTest::newRow("empty file: nothing said") << 0 << QByteArray() << "" << QString();
        QTest::newRow("missing file: nothing said") << 0 << QByteArray("-") << "" << QString();
    }
    void open() {
        QFETCH(int, band);
        QFETCH(QByteArray, content);
        Dialogs dialogs;
        dialogs.open = Home("/opened.DSX");
        QFile::remove(dialogs.open);
        QFile file(dialogs.open);
        QVERIFY(content == "-" || (file.open(QIODevice::WriteOnly) && file.write(content) >= 0));
        file.close();
        auto w = OpenOnBand(band, {.fileDialogs = &dialogs, .timeScale = 0.01});
        const ostrand::EEImage before = w->Image();
        QTEST(StatusSeenDuring(*w, "mnuOpen"), "said");
        if (QFETCH(QString, filter); !filter.isEmpty()) QCOMPARE(dialogs.openFilter, filter);
        const bool loaded = content.size() == 256;
        QCOMPARE(ostrand::FormatPersonality(w->Image()),
                 loaded ? content : ostrand::FormatPersonality(before));
    }

    // File Save writes what the grid shows, and File Open brings it back into another window;
    // a save that fails says so and names the file.
    void saveThenOpen() {
        Dialogs dialogs;
        dialogs.save = dialogs.open = Home("/saved.DSX");
        QStringList grid;
        {
            auto w = OpenOnBand(0, {.fileDialogs = &dialogs, .timeScale = 0.01});
            Apply(*w, "cmbRef_4=3;txtTXFreq_4=146.5250;txtRxTone_4=100.0;chkSTE_4;cmbCCT_4=2");
            Find<QCheckBox>(*w, "chkTxW", 9)->setChecked(true); // an edit not yet encoded
            grid = Grid(*w);
            Apply(*w, "mnuSave");
            QCOMPARE(Grid(*w), grid);
            QFile saved(dialogs.save);
            QVERIFY(saved.open(QIODevice::ReadOnly));
            QCOMPARE(saved.readAll(), ostrand::FormatPersonality(w->Image()));
            dialogs.save = Home("/no such folder/x.DSX");
            QCOMPARE(StatusSeenDuring(*w, "mnuSave").section('\n', 0, 1),
                     "File Not Saved\n" + dialogs.save);
        }
        auto w = OpenOnBand(0, {.fileDialogs = &dialogs});
        Apply(*w, "mnuOpen");
        QCOMPARE(Grid(*w), grid);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
