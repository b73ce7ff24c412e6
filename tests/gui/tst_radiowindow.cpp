// Read Radio and Write Radio from the window against the simulated RIB, and closing the
// window while an operation runs.
#include "GuiFixture.h"

#include "../link/RibSimProcess.h"
#include "image/PersonalityFile.h"
#include "platform/Pause.h"

#include <QTimer>

using namespace fixture;
using ostrand::RibSimProcess;

namespace {

// A fiftieth of real time keeps every timeout and pause short.
std::unique_ptr<frmDelta> OpenFast(const QString& device) {
    WritePreferences("False", "0");
    auto w = Open();
    w->linkTiming = ostrand::LinkTiming{0.02, std::chrono::milliseconds(5)};
    w->cfg.Device = device;
    return w;
}

} // namespace

class RadioWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ostrand::SetDelayScale(0.01); }
    void init() {
        WriteIni();
        QFile::remove(Home("/debug.log"));
    }

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
            digits = ostrand::FormatPersonality(w->eeImage);
        }
        auto w = OpenFast(sim.Device());
        QVERIFY(Grid(*w) != written);
        Apply(*w, "cmdRead");
        QVERIFY(!w->OperationRunning() && w->cmdRead->isEnabled() && w->cmdWrite->isEnabled());
        QCOMPARE(Grid(*w), written);
        QCOMPARE(w->lblCPUType->text(), "Delta-SX CPU - Revision 1");
        sim.Finish();
        QFile f(saved);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().trimmed(), digits);
    }

    // The RIB never answers, so the search is still going on when the window closes.
    void closingDuringAnOperation_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("during Read Radio") << QString("cmdRead");
        QTest::newRow("during Write Radio") << QString("cmdWrite");
    }
    void closingDuringAnOperation() {
        QFETCH(QString, button);
        RibSimProcess sim({"--silent", "all"});
        auto w = OpenFast(sim.Device());
        w->mnuDebug->trigger();
        w->cmbBand->setCurrentIndex(2);
        bool runningAtClose = false;
        QTimer::singleShot(30, w.get(), [&] {
            runningAtClose = w->OperationRunning();
            w->close();
        });
        Apply(*w, button);
        QVERIFY(runningAtClose && !w->OperationRunning() && w->Closing() && !w->isVisible());
        QCOMPARE(StoredPreference("RadioIndex"), "2");
        w->close();
        QFile log(Home("/debug.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll().count("AppExit: "), 1);
    }
};

QTEST_MAIN(RadioWindowTest)
#include "tst_radiowindow.moc"
