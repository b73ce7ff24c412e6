// Read Radio and Write Radio from the window against the simulated RIB: what the operator
// does meanwhile, and closing the window while an operation runs.
#include "GuiFixture.h"

#include "../link/RibSimProcess.h"
#include "image/PersonalityFile.h"

#include <QApplication>
#include <QTimer>

using namespace fixture;
using ostrand::FormatPersonality;
using ostrand::RibSimProcess;

namespace {

// A fiftieth of real time keeps every timeout and pause short.
std::unique_ptr<MainWindow> OpenFast(const QString& device, int band = 0,
                                     ostrand::MainWindowServices services = {.timeScale = 0.02}) {
    WriteIni(Ini(device));
    return OpenOnBand(band, services);
}

} // namespace

class TestRadioWindow : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(Home("/debug.log")); }

    // Channel 16 on reference 3 with a DCG code, written from one window, read into another.
    void writeThenReadBack() {
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

    // A timer the CCT list cannot show (no known CPU) is kept until the operator picks one: an
    // identification of no radio changes nothing, and a Save after it stores every timer.
    void timersKept_data() {
        QTest::addColumn<int>("band");
        QTest::addColumn<QString>("sim"); // a read before the Save, when set
        QTest::newRow("radio ID FF read, then Save") << 0 << "--cpu 0xFF";
        QTest::newRow("no definition, CPU 0: Save") << -1 << "";
    }
    void timersKept() {
        QFETCH(int, band);
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
        dialogs.open = WriteImage("/timers.DSX", image), dialogs.save = Home("/saved.DSX");
        RibSimProcess rib(sim.split(' ', Qt::SkipEmptyParts));
        auto w = OpenFast(rib.Device(), band, {.fileDialogs = &dialogs, .timeScale = 0.02});
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
    }
    void closingDuringAnOperation() {
        QFETCH(QString, button);
        RibSimProcess sim({"--silent", "all"});
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
        QCOMPARE(live.join(','), "mnuExit,mnuClrMemoryOnBandSelect,mnuDebug");
        QVERIFY(!modal && Find<QAction>(*w, "mnuAbout")->isEnabled());
        QCOMPARE(StoredPreference("RadioIndex"), "2");
        w->close();
        QFile log(Home("/debug.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll().count("AppExit: "), 1);
    }
};

QTEST_MAIN(TestRadioWindow)
#include "tst_radiowindow.moc"
