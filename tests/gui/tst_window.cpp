// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the operator uses it: start-up, shutdown, preferences, the debug log,
// configuration reload and the file flows; the channel grid (band selection, reference lists,
// radio-wide fields, CPU label, tone entry, row copy, the refresh between grid and image); and
// Read Radio and Write Radio against the simulated RIB with the operator acting meanwhile.
// Every control is found by its object name, as the operator's documentation names it.
#include "../link/RibSimProcess.h"
#include "app/MainWindow.h"
#include "app/Preferences.h"
#include "config/PortPreference.h"
#include "editor/ChannelGrid.h"
#include "image/PersonalityFile.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "ui/SerialPortDialog.h"
#include "ui/StatusWindow.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <memory>

using ostrand::FormatPersonality;
using ostrand::MainWindow;
using ostrand::RibSimProcess;

namespace {

// Dialogs that answer as the test set them and remember the questions asked.
struct Dialogs : ostrand::FileDialogs, ostrand::MessageBoxes {
    QString open, save;                                       // the paths the file dialogs return
    QStringList asked;                                        // question titles
    QString question;                                         // the last question's text
    bool yes = false;                                         // the answer to every question
    QStringList told;                                         // texts of information boxes
    ostrand::SaveAnswer answer = ostrand::SaveAnswer::Cancel; // about unsaved changes
    QString openFilter, folder; // the filter and folder the Open dialog came up with
    QString OpenFile(const ostrand::FileDialogRequest& r) override {
        return openFilter = r.selectedFilter, folder = r.folder, open;
    }
    QString SaveFile(const ostrand::FileDialogRequest&) override { return save; }
    bool AskYesNoStop(const QString& text, const QString& title) override {
        return asked << title, question = text, yes;
    }
    void Inform(const QString& text, const QString&) override { told << text; }
    ostrand::SaveAnswer AskSaveChanges(const QString&, const QString& title) override {
        return asked << title, answer;
    }
};

// 1: Delta-SX high side x1, band 136-174 MHz; 2: Delta-SX low side x3 on IF 21.4; 3: Delta-S;
// 4: Delta-SX with both inversions; 5: a divider table that does not exist. DCG 023, 025, 754.
QByteArray Ini(const QString& device = {}) {
    const char* defs[] = {
        "Name=VHF SX high;TxMult=1;RxMult=1;IFFreq=45.0;RefIndex=3;RadioID=17;Injection=HI;"
        "EnforceLo=136;EnforceHi=174",
        "Name=UHF SX x3;TxMult=3;RxMult=3;IFFreq=21.4;RefIndex=2;RadioID=17;Injection=LO",
        "Name=VHF S;TxMult=1;RxMult=1;IFFreq=45.0;RefIndex=3;RadioID=16;Injection=LO;"
        "DefaultExt=DSX",
        "Name=VHF SX inverted;TxMult=1;RxMult=1;IFFreq=45.0;RefIndex=3;RadioID=17;"
        "DCGInvertTx=TRUE;DCGInvertRx=TRUE",
        "Name=No table;TxMult=1;RxMult=1;IFFreq=45.0;RadioID=17;RefTable=7"};
    QByteArray ini = "[Serial]\nDevice=" + device.toUtf8() + "\n[RadioDef]\n";
    for (int n = 1; n <= 5; ++n) {
        QByteArray def = QByteArray(defs[n - 1]) + ";RefOsc=13.2" + (n < 5 ? ";RefTable=1" : "");
        for (const QByteArray& kv : def.split(';'))
            ini += QByteArray(kv).replace('=', QByteArray::number(n) + '=') + '\n';
    }
    return ini + "[RefTableDef]\nIndex1Table1=3168\nIndex2Table1=2640\nIndex3Table1=2112\n"
                 "Index4Table1=3312\nIndex5Table1=2760\nIndex6Table1=2208\nIndex7Table1=2400\n"
                 "[DCGList]\nDCG1=023\nDCG2=025\nDCG3=754\n"
                 "[CGList]\nCG1=67.0\nCG2=71.9\nCG3=100.0\nCG4=131.8\n";
}

QString Home(const char* file = "") {
    return qEnvironmentVariable("OSTRAND_HOME") + QLatin1StringView(file);
}

// A channel plan of 16 channels for Import CSV; its path.
QString WritePlan() {
    QFile csv(Home("/plan.csv"));
    if (!csv.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write plan.csv");
    csv.write("Channel,Tx Freq.,Rx Freq.,PLL Ref. Position,PLL Ref. Item,Tx CG/DCG,Rx CG/DCG,STE,"
              "CCT Position,CCT Item,Tx W,Tx Z,Rx W,Rx Z\n");
    for (int c = 1; c <= 16; ++c)
        csv.write(QByteArray::number(c) + ",146.52,146.52,1,,754,,0,1,,1,1,0,0\n");
    return csv.fileName();
}

// A personality file in the test's home holding `image`; its path.
QString WriteImage(const char* name, const ostrand::EEImage& image) {
    QFile file(Home(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", name);
    file.write(ostrand::FormatPersonality(image));
    return file.fileName();
}

void WriteIni(const QByteArray& text = Ini()) {
    QDir().mkpath(Home());
    QFile file(Home("/Ostrand.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

// Null texts are left out of the store.
void WritePreferences(const QString& clear = {}, const QString& index = {}) {
    QSettings s(QStringLiteral("Ostrand"), QStringLiteral("Ostrand"));
    s.remove(QStringLiteral("Defaults"));
    if (!clear.isNull()) s.setValue(QStringLiteral("Defaults/ClearOnNewBandSelect"), clear);
    if (!index.isNull()) s.setValue(QStringLiteral("Defaults/RadioIndex"), index);
}

QString StoredPreference(const char* key) {
    QSettings s(QStringLiteral("Ostrand"), QStringLiteral("Ostrand"));
    return s.value(QStringLiteral("Defaults/") + QLatin1StringView(key)).toString();
}

// The window shown and active, so that focus moves as for an operator.
std::unique_ptr<MainWindow> Open(const ostrand::MainWindowServices& services = {}) {
    auto w = std::make_unique<MainWindow>(services);
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get())) qWarning("window did not become active");
    return w;
}

// The window on band `band` (-1: none), the option to clear the grid unchecked.
std::unique_ptr<MainWindow> OpenOnBand(int band, const ostrand::MainWindowServices& services = {}) {
    WritePreferences("False", QString::number(band));
    return Open(services);
}

template <typename T = QWidget> T* Find(const MainWindow& w, const QString& name, int row = -1) {
    T* found = w.findChild<T*>(row < 0 ? name : QStringLiteral("%1_%2").arg(name).arg(row));
    if (!found) qFatal("no control %s %d", qPrintable(name), row);
    return found;
}

QString Text(const MainWindow& w, const char* name) {
    QWidget* c = Find(w, QLatin1StringView(name));
    if (auto* label = qobject_cast<QLabel*>(c)) return label->text();
    return qobject_cast<QLineEdit*>(c)->text();
}

// Edits as an operator makes them, in order: "name=value" pairs separated by ';'. A text field
// is focused, typed into and left; a list takes the position; a box or label with no value is
// clicked, a box with a value takes it as its check mark; a menu item is triggered.
void Apply(MainWindow& w, const QString& edits) {
    for (const QString& edit : edits.split(u';', Qt::SkipEmptyParts)) {
        const QString value = edit.section(u'=', 1);
        if (auto* item = w.findChild<QAction*>(edit)) {
            item->trigger();
            continue;
        }
        QWidget* c = Find(w, edit.section(u'=', 0, 0));
        if (auto* text = qobject_cast<QLineEdit*>(c)) {
            text->setFocus(Qt::TabFocusReason);
            text->clear();
            QTest::keyClicks(text, value);
            if (text->completer()) text->completer()->popup()->hide(); // as Tab would
            Find(w, "cmdRead")->setFocus(Qt::TabFocusReason);
        } else if (auto* list = qobject_cast<QComboBox*>(c)) {
            list->setCurrentIndex(value.toInt());
        } else if (auto* box = qobject_cast<QCheckBox*>(c); box && !value.isEmpty()) {
            box->setChecked(value == u'1');
        } else {
            QTest::mouseClick(c, Qt::LeftButton);
        }
    }
}

// The eleven fields of row r joined by commas: texts, list positions and check marks (0/1).
QString Row(const MainWindow& w, int r) {
    QStringList cells;
    for (const char* stem : {"txtTXFreq", "txtRxFreq", "cmbRef", "txtTxTone", "txtRxTone", "chkSTE",
                             "cmbCCT", "chkTxW", "chkTxZ", "chkRxW", "chkRxZ"}) {
        QWidget* c = Find(w, QLatin1StringView(stem), r);
        if (auto* e = qobject_cast<QLineEdit*>(c))
            cells << e->text();
        else if (auto* l = qobject_cast<QComboBox*>(c))
            cells << QString::number(l->currentIndex());
        else
            cells << QString::number(qobject_cast<QCheckBox*>(c)->isChecked());
    }
    return cells.join(u',');
}

QStringList Grid(const MainWindow& w) {
    QStringList rows;
    for (int r = 0; r < 16; ++r)
        rows << Row(w, r);
    return rows;
}

// The status window's text at the first turn of the event loop (during a failure's pause).
QString StatusSeenDuring(MainWindow& w, const QString& edits) {
    QString said;
    QTimer::singleShot(0, &w, [&] {
        if (auto* status = w.findChild<ostrand::StatusWindow*>()) said = status->Text();
    });
    Apply(w, edits);
    return said;
}

// Reference 3, DCG 023, STE, timer position 2 and Tx W in row r.
QString Filled(int r) {
    return QStringLiteral("cmbRef_%1=3;txtTXFreq_%1=146.5250;txtRxFreq_%1=146.5250;"
                          "txtTxTone_%1=23;chkSTE_%1=1;cmbCCT_%1=2;chkTxW_%1=1")
        .arg(r);
}

// ostrand-cli on the test's configuration and band 1: its standard output.
QString Cli(const QStringList& args) {
    QProcess p;
    p.start(qEnvironmentVariable("OSTRAND_BINARY_DIR") + "/ostrand-cli",
            args + QStringList{"--config", Home("/Ostrand.ini")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString ReadText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The grid's marked fields, "channel,column" by the compare window's marks.
QStringList Marked(const MainWindow& w) {
    QStringList marked;
    for (const QWidget* field : w.findChildren<QWidget*>())
        if (field->styleSheet().contains("#ffd75e")) marked << field->objectName();
    marked.sort();
    return marked;
}

// A fiftieth of real time keeps every timeout and pause short.
std::unique_ptr<MainWindow> OpenFast(const QString& device, int band = 0,
                                     ostrand::MainWindowServices services = {.timeScale = 0.02}) {
    WriteIni(Ini(device));
    return OpenOnBand(band, services);
}

} // namespace

class TestWindow : public QObject {
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

    // A reload keeps the band's position where the new file still has it, and applies the
    // new definition: its fields, its CPU line and the CCT lists of its CPU type.
    void reload_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("applied"); // Tx Mult., CPU line, timer items, the last one
        QTest::newRow("second of five stays selected, applied again")
            << 1 << 1 << QString("7|CPU Type Unknown. ID: 18 - Revision 0|1|Off");
        QTest::newRow("third of five falls back to the first")
            << 2 << 0 << QString("5|Delta-S CPU - Revision 0|16|240 Sec");
    }
    void reload() {
        QFETCH(int, before);
        auto w = OpenOnBand(before);
        WriteIni("[RadioDef]\nName1=A\nTxMult1=5\nRadioID1=16\nName2=B\nTxMult2=7\nRadioID2=18\n");
        w->ReadINIFile();
        QCOMPARE(Find<QComboBox>(*w, "cmbBand")->count(), 2);
        QTEST(Find<QComboBox>(*w, "cmbBand")->currentIndex(), "after");
        auto* cct = Find<QComboBox>(*w, "cmbCCT", 15);
        QTEST(QStringList({Text(*w, "txtTxMult"), Text(*w, "lblCPUType"),
                           QString::number(cct->count()), cct->itemText(cct->count() - 1)})
                  .join(u'|'),
              "applied");
    }

    // File Open: the dialog's filter follows the definition's extension; a file that is no
    // personality is refused in the status window, an empty one silently; neither changes the
    // image.
    void open_data() {
        QTest::addColumn<int>("band");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("said");
        const QByteArray digits(256, '5');
        QTest::newRow("DSX definition, loaded") << 2 << digits << "Delta SX (*.DSX)" << QString();
        QTest::newRow("D: all formats; 255 digits refused")
            << 0 << digits.left(255) << "All Delta Formats (*.D*)"
            << "Invalid Input File";
        QTest::newRow("empty file: nothing said") << 0 << QByteArray() << "" << QString();
    }
    void open() {
        QFETCH(int, band);
        QFETCH(QByteArray, content);
        Dialogs dialogs;
        dialogs.open = Home("/opened.DSX");
        QFile file(dialogs.open);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) >= 0);
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

    // CSV in the window is ostrand-cli's: an import stores what encode stores and exports what
    // decode prints; a plan that cannot be stored says what encode says and changes nothing.
    void csvImportExport_data() {
        QTest::addColumn<QString>("line"); // channel 1's line of the imported plan
        QTest::addColumn<QString>("said"); // the end of the first thing said
        QTest::newRow("stored as encode stores it") << "1,146.52,146.52,1,,754,131.8,0,1,,1,1,0,0"
                                                    << "";
        QTest::newRow("a bad row changes nothing") << "1,146.52,146.52,9,,754,131.8,0,1,,1,1,0,0"
                                                   << "PLL Ref. Position must be 0 to 7, not \"9\"";
        QTest::newRow("a lost frequency changes nothing")
            << "1,2000,,1,,,,0,0,,0,0,0,0"
            << "channel 1 has no transmit frequency; nothing written";
        QTest::newRow("a lost tone is said, the plan stored")
            << "1,146.52,146.52,1,,777,,0,0,,0,0,0,0"
            << "channel 1 has no transmit tone";
    }
    void csvImportExport() {
        QFETCH(QString, line);
        QString plan = "Channel,Tx Freq.,Rx Freq.,PLL Ref. Position,PLL Ref. Item,Tx CG/DCG,Rx "
                       "CG/DCG,STE,CCT Position,CCT Item,Tx W,Tx Z,Rx W,Rx Z\n" +
                       line + "\n";
        for (int c = 2; c <= 16; ++c)
            plan += QString::number(c) + ",155.5,,3,,100.0,023,1,2,,0,1,0,1\n";
        QFile file(Home("/plan.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(plan.toUtf8());
        file.close();
        Dialogs dialogs;
        dialogs.open = file.fileName();
        dialogs.save = Home("/exported.csv");
        QFile::remove(dialogs.save);
        auto w = OpenOnBand(0, {.messages = &dialogs, .fileDialogs = &dialogs});
        const QStringList before = Grid(*w);
        Apply(*w, "mnuImportCsv;mnuExportCsv");
        QFETCH(QString, said);
        const QString first = dialogs.told.value(0).section("\n", 0, 0);
        QVERIFY2(said.isEmpty() ? first.isEmpty() : first.endsWith(said), qPrintable(first));
        const QString encoded =
            Cli({"encode", file.fileName(), "-o", Home("/encoded.DSX"), "--band", "1"});
        if (encoded.isEmpty()) {
            QCOMPARE(Grid(*w), before);
            return;
        }
        QCOMPARE(ReadText(dialogs.save), encoded);
        QCOMPARE(ostrand::FormatPersonality(w->Image()), ReadText(Home("/encoded.DSX")).toLatin1());
    }

    // Compare never replaces the grid: it lists and marks the fields that differ from a file or
    // from the radio (read with Read Radio's exchanges, nothing written), as ostrand-cli diff
    // lists them, until its window is closed.
    void compare_data() {
        QTest::addColumn<QString>("with");
        QTest::addColumn<QString>("edits"); // made to the other personality's grid
        QTest::addColumn<QStringList>("marked");
        QTest::newRow("the same file: nothing marked") << "mnuCompareFile"
                                                       << "" << QStringList();
        QTest::newRow("a file: one field per column")
            << "mnuCompareFile"
            << "txtTXFreq_0=146.5;cmbRef_1=2;chkSTE_2=0;txtRxTone_3=100.0"
            << QStringList{"chkSTE_2", "cmbRef_1", "txtRxTone_3", "txtTXFreq_0"};
        QTest::newRow("the radio")
            << "mnuCompareRadio"
            << "chkRxZ_15=1;cmbCCT_7=3" << QStringList{"chkRxZ_15", "cmbCCT_7"};
    }
    void compare() {
        QFETCH(QString, with);
        Dialogs dialogs;
        dialogs.save = dialogs.open = Home("/other.DSX");
        {
            auto other = OpenOnBand(0, {.fileDialogs = &dialogs});
            QFETCH(QString, edits);
            Apply(*other, edits);
            Apply(*other, "mnuSave");
        }
        RibSimProcess sim({"--load", dialogs.open});
        auto w = OpenFast(sim.Device(), 0,
                          {.messages = &dialogs, .fileDialogs = &dialogs, .timeScale = 0.02});
        const QStringList grid = Grid(*w);
        Apply(*w, with);
        auto* list = w->findChild<QTableWidget*>("tblDifferences");
        QVERIFY(list);
        QCOMPARE(Grid(*w), grid);
        QTEST(Marked(*w), "marked");
        const QStringList diff = Cli({"diff", WriteImage("/grid.DSX", w->Image()), dialogs.open})
                                     .split('\n', Qt::SkipEmptyParts);
        QCOMPARE(list->rowCount(), diff.size());
        for (int r = 0; r < diff.size(); ++r)
            QVERIFY(
                diff.at(r).endsWith(list->item(r, 2)->text() + " -> " + list->item(r, 3)->text()));
        QVERIFY(!sim.Received().join(',').contains(QRegularExpression("IIT|WRD")));
        // A band mark coming while compared keeps the compare mark, and outlives it.
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        Apply(*w, "txtTXFreq_0=180");
        QTEST(Marked(*w), "marked");
        list->window()->close();
        QCOMPARE(Marked(*w), QStringList());
        QVERIFY(Find(*w, "txtTXFreq_0")->styleSheet().contains("#e07000"));
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
        const QString channel1 = Row(*w, 0), old = Find<QLineEdit>(*w, field)->text(),
                      help = Find(*w, field)->toolTip();
        const ostrand::EEImage image = w->Image();
        Apply(*w, field + "=" + value);
        const QString said =
            StatusSeenDuring(*w, QMap<QString, QString>{{"leave", "txtTXFreq_1=146.0000"},
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
        QCOMPARE(Find(*w, field)->toolTip(), help);
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
        Dialogs dialogs; // the band change that clears is let go
        dialogs.answer = ostrand::SaveAnswer::Discard;
        auto w = OpenOnBand(0, {.messages = &dialogs});
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
        Dialogs dialogs; // a band change that clears the edits is let go
        dialogs.answer = ostrand::SaveAnswer::Discard;
        auto w = OpenOnBand(band, {.messages = &dialogs});
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

    // A frequency outside the band is marked and listed; Write Radio asks first, naming it, and
    // writes only on a Yes. Back inside the band, the marks go.
    void bandLimits_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No: nothing written") << false;
        QTest::newRow("Yes: written") << true;
    }
    void bandLimits() {
        WriteIni(Ini(Home("/no-such-port")));
        Dialogs dialogs;
        QFETCH(bool, yes);
        dialogs.yes = yes;
        auto w = OpenOnBand(0, {.messages = &dialogs, .timeScale = 0.001});
        Apply(*w, "cmbRef_2=3;txtTXFreq_2=180;txtRxFreq_2=150");
        const QString band = "outside 136.0000–174.0000 MHz";
        QCOMPARE(Find(*w, "txtTXFreq", 2)->toolTip(), band);
        QVERIFY(Find(*w, "txtRxFreq", 2)->toolTip().isEmpty());
        QCOMPARE(Text(*w, "lblOutOfBand"),
                 "Outside 136.0000–174.0000 MHz: channel 3 Tx Freq. 180.0000");
        const QString said = StatusSeenDuring(*w, "cmdWrite");
        QCOMPARE(dialogs.asked, QStringList{"Frequencies Outside the Band"});
        QVERIFY(dialogs.question.startsWith("Channel 3 Tx Freq. 180.0000 is " + band));
        QCOMPARE(said.isEmpty(), !yes);
        w->activateWindow(); // the status window had it
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        Apply(*w, "txtTXFreq_2=170");
        QVERIFY(Find(*w, "txtTXFreq", 2)->toolTip().isEmpty() &&
                Text(*w, "lblOutOfBand").isEmpty());
    }

    // How an entry was read shows in the status bar.
    void explainedEntry() {
        auto w = OpenOnBand(0);
        Apply(*w, "txtRxTone_0=340");
        QCOMPARE(w->statusBar()->currentMessage(),
                 "340 read as DCG code 340 (shown as 023, the same code word)");
        Apply(*w, "txtTXFreq_0=146,52");
        QCOMPARE(w->statusBar()->currentMessage(),
                 "146,52 read as 146 (the decimal point is \".\"): shown as 146.0000");
    }

    // Every grid field has a name of its own for a screen reader; the tone fields complete
    // from the configured lists as the operator types, and follow a reload.
    void namesAndCompletion() {
        auto w = OpenOnBand(0);
        QSet<QString> names;
        for (int r = 0; r < 16; ++r)
            for (const char* stem : {"txtTXFreq", "txtRxFreq", "cmbRef", "txtTxTone", "txtRxTone",
                                     "chkSTE", "cmbCCT", "chkTxW", "chkTxZ", "chkRxW", "chkRxZ"})
                if (const QString name = Find(*w, stem, r)->accessibleName();
                    name.startsWith(QStringLiteral("Channel %1 ").arg(r + 1)))
                    names << name;
        QCOMPARE(names.size(), 176);
        QCOMPARE(Find(*w, "cmbBand")->accessibleName(), "Band");
        auto* tone = Find<QLineEdit>(*w, "txtRxTone", 3);
        const auto offered = [&](const char* typed) {
            tone->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(tone, typed);
            QStringList items{tone->completer()->popup()->isVisible() ? "popup:" : "none:"};
            for (int i = 0; tone->completer()->setCurrentRow(i); ++i)
                items << tone->completer()->currentCompletion();
            tone->completer()->popup()->hide();
            tone->clear();
            return items.join(u' ');
        };
        QCOMPARE(offered("7"), "popup: 71.9 754");
        WriteIni(Ini().replace("CG2=71.9", "CG2=77.0").replace("DCG3=754", "DCG3=712"));
        w->ReadINIFile();
        QCOMPARE(offered("7"), "popup: 77.0 712");
    }

    // Channel 16 on reference 3 with a DCG code, written from one window, read into another.
    void writeThenReadBack() {
        QDir(Home("/data")).removeRecursively();
        const QString saved = Home("/written.DSX");
        QFile::remove(saved);
        RibSimProcess sim({"--save", saved});
        QStringList written;
        QByteArray digits;
        {
            auto w = OpenFast(sim.Device());
            Apply(*w, "cmbRef_15=3;txtTXFreq_15=155.0000;txtTxTone_15=754;cmdWrite");
            written = Grid(*w);
            digits = ostrand::FormatPersonality(w->Image());
        }
        auto w = OpenFast(sim.Device());
        QVERIFY(Grid(*w) != written);
        Apply(*w, "cmdRead");
        QVERIFY(!w->OperationRunning() && Find(*w, "cmdRead")->isEnabled() &&
                Find(*w, "cmdWrite")->isEnabled());
        QCOMPARE(Grid(*w), written);
        QCOMPARE(Text(*w, "lblCPUType"), "Delta-SX CPU - Revision 1");
        Apply(*w, "cmbBand=1"); // a band selection forgets the radio's revision
        QCOMPARE(Text(*w, "lblCPUType"), "Delta-SX CPU - Revision 0");
        sim.Finish();
        QFile f(saved);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().trimmed(), digits);
        const QDir backups(Home("/data/Ostrand/backups"));
        for (const char* what : {"write", "read"}) {
            const QStringList kept = backups.entryList({QString("*_%1_Delta-SX.DSX").arg(what)});
            QFile file(backups.filePath(kept.value(0)));
            QVERIFY(kept.size() == 1 && file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), digits);
        }
    }

    // What the operator does during a write changes neither what is sent nor the CPU question;
    // afterwards the window shows what the operator chose. A declined write asks again.
    void operatorDuringWrite_data() {
        QTest::addColumn<int>("band"); // at the click
        QTest::addColumn<QString>("sim");
        QTest::addColumn<QString>("during"); // "band N" or "reload"
        QTest::addColumn<int>("writes");
        QTest::addColumn<QString>("after"); // questions asked, what the radio holds, CPU line
        const auto row = [](const char* tag, int band, const char* sim, const char* during,
                            int writes, const char* after) {
            QTest::newRow(tag) << band << QString(sim) << QString(during) << writes
                               << QString(after);
        };
        row("band changed to a Delta-S", 0, "", "band 2", 1, "0,grid,Delta-S CPU - Revision 0");
        row("configuration reloaded: band 1 now a Delta-S", 0, "", "reload", 1,
            "0,grid,Delta-S CPU - Revision 0");
        row("Delta-S grid, band changed to a Delta-SX: asked", 2, "", "band 0", 1,
            "1,old,Delta-SX CPU - Revision 0");
        row("Delta-SX grid to a Delta-S radio: No, then asked again", 0, "--cpu 0x10 --revision 2",
            "", 2, "2,old,Delta-SX CPU - Revision 0");
    }
    void operatorDuringWrite() {
        QFETCH(int, band);
        QFETCH(QString, during);
        QFETCH(QString, sim);
        ostrand::EEImage old{};
        old.fill(0x5A);
        const QString saved = Home("/radio.DSX"), loaded = WriteImage("/loaded.DSX", old);
        // The first wake-up goes unanswered, so no late answer to it follows the operator's
        // acts, however long they take, into the next exchange.
        RibSimProcess rib(sim.split(' ', Qt::SkipEmptyParts) +
                          QStringList{"--ignore", "WAKE:1", "--load", loaded, "--save", saved});
        Dialogs dialogs;
        // Every answer in time on a loaded machine.
        auto w = OpenFast(rib.Device(), band, {.messages = &dialogs, .timeScale = 0.1});
        Apply(*w, "cmbRef_0=3;txtTXFreq_0=146.5250;cmbCCT_0=2");
        w->RefreshValues(true); // what Write Radio encodes at the click
        const QByteArray grid = FormatPersonality(w->Image());
        // In the operation's first wait, as the RIB is being searched for.
        QTimer::singleShot(0, w.get(), [&] {
            if (during.startsWith("band"))
                Find<QComboBox>(*w, "cmbBand")->setCurrentIndex(during.right(1).toInt());
            if (during == "reload") {
                WriteIni(Ini(rib.Device()).replace("RadioID1=17", "RadioID1=16"));
                w->ReadINIFile();
            }
        });
        QFETCH(int, writes);
        for (int i = 0; i < writes; ++i)
            Apply(*w, "cmdWrite");
        rib.Finish();
        QFile radio(saved);
        QVERIFY(radio.open(QIODevice::ReadOnly));
        const QByteArray holds = radio.readAll();
        const char* what = holds == grid                     ? ",grid,"
                           : holds == FormatPersonality(old) ? ",old,"
                                                             : ",?,";
        QTEST(QString::number(dialogs.asked.size()) + what + Text(*w, "lblCPUType"), "after");
    }

    // Cancel (the status window's button, or Escape) ends a Read or Write in the wait it is
    // in: nothing more goes to the RIB, a cancelled read leaves the image as it was, the
    // buttons come back, the status bar keeps what happened, and the next operation runs.
    void cancelAtEachStep_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("silent"); // the command the RIB never answers
        QTest::addColumn<QString>("wire");   // as it goes out
        QTest::addColumn<QString>("outcome");
        const QString read = "Read Radio: Cancelled: nothing was read.",
                      unwritten = "Write Radio: Cancelled: the radio was not written.",
                      partial = "Write Radio: Cancelled: the radio may hold a partial "
                                "personality: write it again.";
        const auto row = [](const char* tag, const char* button, const char* silent,
                            const char* wire, const QString& outcome) {
            QTest::newRow(tag) << button << silent << wire << outcome;
        };
        row("read, searching: Escape", "cmdRead", "WAKE", "<ESC>", read);
        row("read, identifying: Cancel", "cmdRead", "GID", "GID", read);
        row("read, pause after identifying: Escape", "cmdRead", "none", "Firmware", read);
        row("read, SID: Escape", "cmdRead", "SID", "SID", read);
        row("read, RRD: Cancel", "cmdRead", "RRD", "RRD", read);
        row("read, records: Escape", "cmdRead", "IOT", "IOT", read);
        row("write, searching: Cancel", "cmdWrite", "WAKE", "<ESC>", unwritten);
        row("write, records: Escape", "cmdWrite", "DATA", ":00000001FF", unwritten);
        row("write, SID: Cancel", "cmdWrite", "SID", "SID", unwritten);
        row("write, WRD: Escape", "cmdWrite", "WRD", "WRD", partial);
        row("write, compare: Cancel", "cmdWrite", "CMP", "CMP", partial);
    }
    void cancelAtEachStep() {
        QFETCH(QString, button);
        QFETCH(QString, wire);
        QFETCH(QString, silent);
        RibSimProcess rib({"--silent", silent});
        auto w = OpenFast(rib.Device(), 0, {.timeScale = 0.2});
        const QByteArray before = FormatPersonality(w->Image());
        const bool escape = QByteArray(QTest::currentDataTag()).endsWith("Escape");
        // Cancelled once per round, when `wire` goes out or the status window shows it.
        qsizetype base = 0, sent = 0;
        int cancels = 0, round = 0;
        QTimer poll;
        connect(&poll, &QTimer::timeout, w.get(), [&] {
            const QStringList got = rib.Received();
            auto* status = w->findChild<ostrand::StatusWindow*>();
            if (cancels == round || !status ||
                (got.filter(wire).size() <= base && !status->Text().contains(wire)))
                return;
            sent = got.size(), ++cancels;
            if (escape) return QTest::keyClick(w.get(), Qt::Key_Escape);
            status->findChild<QPushButton*>("cmdCancel")->click();
        });
        poll.start(2);
        for (round = 1; round <= 2; ++round) {
            base = rib.Received().filter(wire).size();
            Apply(*w, button);
            QCOMPARE(cancels, round);
            QVERIFY(!w->OperationRunning() && Find(*w, "cmdRead")->isEnabled() &&
                    Find(*w, "cmdWrite")->isEnabled());
            QTEST(Text(*w, "lblOutcome"), "outcome");
            if (button == "cmdRead") QCOMPARE(FormatPersonality(w->Image()), before);
            QTest::qWait(30);                      // what the RIB received reaches its output
            QCOMPARE(rib.Received().size(), sent); // nothing after the cancel
        }
    }

    // A file named on the command line, dropped on the window or picked from Open Recent
    // opens as File > Open does. Open Recent keeps the last 8, newest first; a file gone since
    // is taken out of it with a message. The dialogs open in the folder last used, the first
    // time in the program's folder, or in the home folder when that one is hidden.
    void openNamedFiles() {
        QSettings(QStringLiteral("Ostrand"), QStringLiteral("Ostrand")).remove("Files");
        Dialogs dialogs;
        auto w = OpenOnBand(0, {.fileDialogs = &dialogs, .timeScale = 0.01});
        const QByteArray home = qgetenv("OSTRAND_HOME");
        for (const char* folder : {"/plain", "/.local/share/Ostrand"}) {
            qputenv("OSTRAND_HOME", home + folder);
            Apply(*w, "mnuOpen");
            QCOMPARE(dialogs.folder, folder[1] == '.' ? QDir::homePath() : home + folder);
        }
        qputenv("OSTRAND_HOME", home);

        QDir().mkpath(Home("/recent"));
        QStringList paths;
        for (int i = 1; i <= 9; ++i) {
            ostrand::EEImage image{};
            image.fill(uint8_t(i));
            paths.prepend(WriteImage(qPrintable(QStringLiteral("/recent/%1.DSX").arg(i)), image));
            if (i % 2) {
                w->OpenDocument(paths.first()); // as the command line does
            } else {
                QMimeData data;
                data.setUrls({QUrl::fromLocalFile(paths.first())});
                QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
                QDropEvent drop({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
                QApplication::sendEvent(w.get(), &enter);
                QApplication::sendEvent(w.get(), &drop);
            }
            QTRY_COMPARE(w->Image()[0], uint8_t(i));
        }
        QCOMPARE(ostrand::LoadRecentFiles(), paths.mid(0, 8));
        Apply(*w, "mnuRecent_3"); // 6.DSX, which goes first
        QCOMPARE(w->Image()[0], uint8_t(6));
        QFile::remove(paths.at(0));
        Apply(*w, "mnuRecent_1"); // 9.DSX, gone
        QCOMPARE(w->Image()[0], uint8_t(6));
        QCOMPARE(ostrand::LoadRecentFiles(), QStringList({paths[3], paths[1], paths[2], paths[4],
                                                          paths[5], paths[6], paths[7]}));
        QCOMPARE(Text(*w, "lblOutcome"), paths.at(0) + " was not opened: no such file. It is "
                                                       "no longer in Open Recent.");
        Apply(*w, "mnuOpen");
        QCOMPARE(dialogs.folder, Home("/recent"));
    }

    // Options > Serial Port lists the ports found (or says there are none), takes any path,
    // tests the RIB on it, and keeps the choice: it names the port in the status bar and is
    // the port a Read opens, over Ostrand.ini; emptied, Ostrand.ini's applies again.
    void serialPortChoice_data() {
        QTest::addColumn<int>("ports");
        QTest::addColumn<QString>("device"); // typed; "@" stands for the simulated RIB
        QTest::addColumn<QString>("after");  // the test's first line|the status bar's port
        const auto row = [](const char* tag, int ports, const char* device, const char* after) {
            QTest::newRow(tag) << ports << device << after;
        };
        row("no ports; the RIB on a typed path", 0, "@", "RIB found|Port: @ (chosen)");
        row("two ports; no such device", 2, "/dev/ostrand-none",
            "Cannot open /dev/ostrand-none: no such device.|Port: /dev/ostrand-none (chosen)");
        row("emptied: Ostrand.ini's", 1, "", "RIB found|Port: @ (Ostrand.ini)");
    }
    void serialPortChoice() {
        QFETCH(int, ports);
        QFETCH(QString, device);
        RibSimProcess rib({});
        ostrand::StorePort("/dev/ostrand-earlier");
        const QString usb = "/dev/ttyUSB0  FT232R USB UART, FTDI, serial A10K, USB 0403:6001";
        QList<ostrand::SerialPortEntry> found{
            {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K", "0403:6001"}, {"/dev/ttyS0"}};
        WriteIni(Ini(rib.Device()));
        auto w = OpenOnBand(0, {.timeScale = 0.02, .ports = [&] { return found.mid(0, ports); }});
        QCOMPARE(Text(*w, "lblPort"), "Port: /dev/ostrand-earlier (chosen)");
        QStringList listed, after;
        QTimer::singleShot(0, w.get(), [&] {
            auto* dialog =
                qobject_cast<ostrand::SerialPortDialog*>(QApplication::activeModalWidget());
            auto* list = dialog->findChild<QListWidget*>("lstPorts");
            for (int i = 0; i < list->count(); ++i)
                listed << list->item(i)->text();
            if (ports == 2) list->item(1)->setSelected(true);
            QCOMPARE(dialog->Device(), ports == 2 ? "/dev/ttyS0" : "/dev/ostrand-earlier");
            dialog->findChild<QLineEdit*>("txtDevice")->setText(device);
            dialog->Test();
            after << dialog->findChild<QLabel*>("lblTestResult")->text().section('\n', 0, 0);
            dialog->accept();
        });
        device.replace("@", rib.Device());
        Apply(*w, "mnuSerialPort");
        QCOMPARE(listed.join('|'),
                 (QStringList{"no serial ports found", usb, usb + "|/dev/ttyS0"}[ports]));
        QTEST((after << Text(*w, "lblPort")).join('|').replace(rib.Device(), "@"), "after");
        Apply(*w, "cmdRead");
        QCOMPARE(Text(*w, "lblOutcome").startsWith("Read Radio: Done"), after[0] == "RIB found");
        ostrand::StorePort({});
    }

    // Up and Down go to the same column of the row below or above, stopping at the ends (the
    // lists keep the keys for their items); Ctrl+Shift+C copies the focused row to every row.
    void keyboard_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("to");
        const auto row = [](const char* tag, const char* from, const char* keys, const char* to) {
            QTest::newRow(tag) << from << keys << to;
        };
        row("Down in Tx CG/DCG", "txtTxTone_14", "Down", "txtTxTone_15");
        row("Down at the last row stays", "txtTxTone_15", "Down", "txtTxTone_15");
        row("Up at the first row stays", "chkSTE_0", "Up", "chkSTE_0");
        row("boxes: Down, Down, Up", "chkRxZ_7", "Down,Down,Up", "chkRxZ_8");
        row("a list keeps Down", "cmbCCT_3", "Down", "cmbCCT_3");
        row("copy channel 5", "txtRxFreq_4", "Copy", "txtRxFreq_4");
    }
    void keyboard() {
        QFETCH(QString, from);
        auto w = OpenOnBand(0);
        Apply(*w, Filled(4));
        Find(*w, from)->setFocus(Qt::TabFocusReason);
        QFETCH(QString, keys);
        for (const QString& key : keys.split(','))
            QTest::keyClick(QApplication::focusWidget(),
                            key == "Up"     ? Qt::Key_Up
                            : key == "Down" ? Qt::Key_Down
                                            : Qt::Key_C,
                            key == "Copy" ? Qt::ControlModifier | Qt::ShiftModifier
                                          : Qt::NoModifier);
        QTEST(QApplication::focusWidget()->objectName(), "to");
        QCOMPARE(Grid(*w).filter(Row(*w, 4)).size(), keys == "Copy" ? 16 : 1);
    }

    // A timer the CCT list cannot show (no known CPU) is kept until the operator picks one: an
    // identification of no radio changes nothing, and a Save after it stores every timer.
    void timersKept_data() {
        QTest::addColumn<int>("radioId"); // of the definition
        QTest::addColumn<QString>("sim"); // a read before the Save, when set
        QTest::newRow("radio ID FF read, then Save") << 17 << "--cpu 0xFF";
        QTest::newRow("a definition of no CPU: Save") << 0 << "";
    }
    void timersKept() {
        QFETCH(int, radioId);
        QFETCH(QString, sim);
        const auto timers = [](const auto& bytes) {
            QList<int> codes;
            for (int ch = 1; ch <= 16; ++ch)
                codes << (bytes[size_t(ostrand::EEindexForChannel(ch) + 4)] & 7);
            return codes;
        };
        ostrand::EEImage image{};
        for (int ch = 1; ch <= 16; ++ch)
            image[size_t(ostrand::EEindexForChannel(ch) + 4)] = uint8_t(ch % 7 + 1);
        Dialogs dialogs;
        dialogs.open = WriteImage("/timers.DSX", image), dialogs.save = Home("/timers-saved.DSX");
        QFile::remove(dialogs.save);
        RibSimProcess rib(sim.split(' ', Qt::SkipEmptyParts));
        WriteIni(
            Ini(rib.Device()).replace("RadioID1=17", "RadioID1=" + QByteArray::number(radioId)));
        auto w = OpenOnBand(0, {.fileDialogs = &dialogs, .timeScale = 0.02});
        const QString cpu = Text(*w, "lblCPUType");
        Apply(*w, sim.isEmpty() ? "mnuOpen" : "mnuOpen;cmdRead");
        QCOMPARE(Text(*w, "lblCPUType"), cpu);
        auto* first = Find<QComboBox>(*w, "cmbCCT", 0); // the operator picks "Off" in channel 1
        first->setCurrentIndex(0);
        emit first->activated(0);
        Apply(*w, "mnuSave");
        QList<int> expected = timers(image);
        expected[0] = 0;
        QCOMPARE(timers(ostrand::ReadPersonalityFile(dialogs.save).bytes), expected);
    }

    // The RIB never answers, so the search is still going on when the window closes. Menu
    // items that open a window are unavailable meanwhile: a modal window would hold the
    // operation's waits until it closed.
    void closingDuringAnOperation_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("during Read Radio") << QString("cmdRead");
        QTest::newRow("during Write Radio") << QString("cmdWrite");
        QTest::newRow("during Compare with the radio") << QString("mnuCompareRadio");
    }
    void closingDuringAnOperation() {
        QFETCH(QString, button);
        RibSimProcess sim({"--silent", "all"});
        ostrand::StoreRecentFiles({Home("/recent.DSX")});
        auto w = OpenFast(sim.Device());
        Apply(*w, "mnuDebug;cmbBand=2");
        bool runningAtClose = false, modal = false;
        QStringList live;
        QTimer::singleShot(30, w.get(), [&] {
            runningAtClose = w->OperationRunning();
            for (QAction* item : w->findChildren<QAction*>())
                if (item->isEnabled() && !item->isSeparator() && !item->objectName().isEmpty())
                    live << item->objectName();
            QTimer::singleShot(50, w.get(), [&] {
                if (QWidget* open = QApplication::activeModalWidget()) modal = true, open->close();
            });
            Apply(*w, "mnuAbout");
            w->close();
        });
        Apply(*w, button);
        QVERIFY(runningAtClose && !w->OperationRunning() && w->Closing() && !w->isVisible());
        QCOMPARE(live.join(','),
                 "mnuExit,mnuClrMemoryOnBandSelect,mnuDebug,actCopyChannel,actCancel");
        QVERIFY(!modal && Find<QAction>(*w, "mnuAbout")->isEnabled());
        QCOMPARE(StoredPreference("RadioIndex"), "2");
        w->close();
        QFile log(Home("/debug.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll().count("AppExit: "), 1);
    }

    // Every flow that would lose unsaved work asks first. With nothing unsaved it does not
    // ask; Cancel leaves image, grid, band and window as they were; Discard goes ahead; Save
    // saves first. Clearing on band selection is on, so a band change or reload clears.
    void unsavedChanges_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer"); // -1: nothing unsaved; else a SaveAnswer
        for (const char* action :
             {"mnuOpen", "mnuImportCsv", "cmdRead", "cmbBand=1", "reload", "mnuExit"})
            for (int answer = -1; answer <= 2; ++answer)
                QTest::newRow(qPrintable(QStringLiteral("%1, answer %2").arg(action).arg(answer)))
                    << QString(action) << answer;
    }
    void unsavedChanges() {
        QFETCH(QString, action);
        QFETCH(int, answer);
        ostrand::EEImage other{};
        other.fill(0x5A);
        Dialogs dialogs;
        dialogs.open = WriteImage("/other.DSX", other), dialogs.save = Home("/saved.DSX");
        dialogs.answer = ostrand::SaveAnswer(std::max(answer, 0));
        QFile::remove(dialogs.save);
        if (action == "mnuImportCsv") dialogs.open = WritePlan();
        std::unique_ptr<RibSimProcess> sim;
        if (action == "cmdRead")
            sim = std::make_unique<RibSimProcess>(QStringList{"--load", dialogs.open});
        WriteIni(Ini(sim ? sim->Device() : QString()));
        WritePreferences("True", "0");
        auto w = Open({.messages = &dialogs, .fileDialogs = &dialogs, .timeScale = 0.05});
        if (answer >= 0) Apply(*w, "txtTXFreq_0=146.5250;chkSTE_0=1");
        const QStringList grid = Grid(*w);
        const QByteArray image = FormatPersonality(w->Image());
        WriteIni(Ini().replace("RefIndex1=3", "RefIndex1=1")); // a reload's band clears to 1
        action == "reload" ? w->ReadINIFile() : Apply(*w, action);
        const bool cancelled = answer == int(ostrand::SaveAnswer::Cancel);
        QCOMPARE(dialogs.asked, answer < 0 ? QStringList() : QStringList{"Unsaved Changes"});
        QCOMPARE(Grid(*w) == grid && FormatPersonality(w->Image()) == image &&
                     Find<QComboBox>(*w, "cmbBand")->currentIndex() == 0 && w->isVisible(),
                 cancelled);
        QCOMPARE(QFile::exists(dialogs.save), answer == int(ostrand::SaveAnswer::Save));
    }

    // No question starts during a radio operation: a band change that would clear unsaved work
    // goes back at once, a reload and a close that would ask wait for the operation's end.
    void questionsWaitForOperations() {
        RibSimProcess sim({"--silent", "all"});
        Dialogs dialogs;
        WriteIni(Ini(sim.Device()));
        WritePreferences("True", "0");
        auto w = Open({.messages = &dialogs, .timeScale = 0.02});
        Apply(*w, "txtTXFreq_0=146.5250");
        const QStringList grid = Grid(*w);
        QStringList during;
        dialogs.answer = ostrand::SaveAnswer::Discard; // for the read, then Cancel
        QTimer::singleShot(30, w.get(), [&] {
            dialogs.answer = ostrand::SaveAnswer::Cancel;
            Find<QComboBox>(*w, "cmbBand")->setCurrentIndex(1);
            w->ReadINIFile();
            w->close();
            during = dialogs.asked;
            during << QString::number(Find<QComboBox>(*w, "cmbBand")->currentIndex());
        });
        Apply(*w, "cmdRead");
        QCOMPARE(during, QStringList({"Unsaved Changes", "0"})); // the read's only
        QCOMPARE(dialogs.asked.size(), 3); // then the reload's and the close's, after it
        QVERIFY(w->isVisible() && Grid(*w) == grid);
    }

    // Open A, Open B, undo, Save: A; redo, Save: B; undone again, Exit asks. Every kind of
    // step is undone and redone exactly, a pending tick included, by the keys in a text field.
    void undoRedo_data() {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* tag, const char* step, const char* name) {
            QTest::newRow(tag) << QString(step) << QString(name);
        };
        row("frequency", "txtTXFreq_1=147.0000", "Edit channel 2");
        row("tone", "txtTxTone_1=754", "Edit channel 2 Tx CG/DCG");
        row("reference", "cmbRef_0=5", "Change channel 1 PLL Ref.");
        row("row copy", "lblChan_2", "Copy channel 3 to all");
        row("band that clears", "mnuClrMemoryOnBandSelect;cmbBand=1", "Select band UHF SX x3");
        row("Read Radio", "cmdRead", "Read Radio");
        row("CSV import", "mnuImportCsv", "Import CSV");
    }
    void undoRedo() {
        ostrand::EEImage a{}, b{}; // both as Save stores them
        a.fill(0x11);
        for (size_t i = 0; i < b.size(); ++i)
            b[i] = "\x4A\x5A\x5A"[i % 4];
        Dialogs dialogs;
        dialogs.save = Home("/saved.DSX");
        RibSimProcess sim({"--load", WriteImage("/b.DSX", b)});
        WriteIni(Ini(sim.Device()));
        auto w = OpenOnBand(0, {.messages = &dialogs, .fileDialogs = &dialogs, .timeScale = 0.05});
        // Ctrl+Z and Ctrl+Shift+Z: a text field without typing of its own lets them through.
        const auto keys = [&](QKeySequence::StandardKey key) {
            const bool redo = key == QKeySequence::Redo;
            QKeyEvent press(QEvent::ShortcutOverride, Qt::Key_Z,
                            redo ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
            QApplication::sendEvent(Find(*w, "txtRxFreq", 9), &press);
            auto* item = Find<QAction>(*w, redo ? "mnuRedo" : "mnuUndo");
            QVERIFY(!press.isAccepted() &&
                    item->shortcuts().contains(QKeySequence(press.keyCombination())));
            item->trigger();
        };
        const auto saved = [&] {
            Apply(*w, "mnuSave");
            return ostrand::ReadPersonalityFile(dialogs.save).bytes[0];
        };
        for (const char* file : {"/a.DSX", "/b.DSX"})
            dialogs.open = WriteImage(file, file[1] == 'a' ? a : b), Apply(*w, "mnuOpen");
        QCOMPARE(w->windowTitle(), "b.DSX[*] — Ostrand");
        keys(QKeySequence::Undo);
        QVERIFY(w->isWindowModified() && saved() == 0x11);
        keys(QKeySequence::Redo);
        QVERIFY(saved() == 0x4A && !w->isWindowModified());
        keys(QKeySequence::Undo);
        Apply(*w, "mnuExit;" + Filled(4) + ";chkRxZ_7=1");
        QVERIFY(w->isVisible() && dialogs.asked.size() == 1);

        const QStringList before = Grid(*w);
        const QByteArray image = FormatPersonality(w->Image());
        QFETCH(QString, step);
        dialogs.answer = ostrand::SaveAnswer::Discard;
        dialogs.open = WritePlan(); // for the import
        Apply(*w, step);
        const QStringList after = Grid(*w);
        QFETCH(QString, name);
        QCOMPARE(Find<QAction>(*w, "mnuUndo")->text(), "&Undo " + name);
        keys(QKeySequence::Undo);
        QVERIFY(Grid(*w) == before && FormatPersonality(w->Image()) == image);
        keys(QKeySequence::Redo);
        QCOMPARE(Grid(*w), after);
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
