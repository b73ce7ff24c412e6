// Read Radio and Write Radio from the window against the simulated RIB, and closing the
// window while an operation runs.
#include "GuiFixture.h"

#include "../link/RibSimProcess.h"
#include "image/PersonalityFile.h"
#include "platform/Pause.h"

#include <QTimer>

using namespace fixture;
using ostrand::frmDelta;
using ostrand::RibSimProcess;

namespace {

// A fiftieth of real time keeps every timeout and pause short.
constexpr ostrand::LinkTiming kFast{0.02, std::chrono::milliseconds(5)};

std::unique_ptr<frmDelta> OpenFast(const QString& device) {
    WritePreferences(QStringLiteral("False"), QStringLiteral("0"));
    auto w = Open();
    w->linkTiming = kFast;
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
        QFile::remove(Home() + QStringLiteral("/debug.log"));
    }

    void writeThenReadBack() {
        // Channel 16 on reference 3 with a DCG code, written from one window, read into another.
        const QString saved = Home() + QStringLiteral("/written.DSX");
        QFile::remove(saved);
        RibSimProcess sim({"--save", saved});
        QList<QStringList> written;
        QByteArray digits;
        {
            auto w = OpenFast(sim.Device());
            Find<QComboBox>(*w, Name("cmbRef", 15))->setCurrentIndex(3);
            Enter(*w, Name("txtTXFreq", 15), QStringLiteral("155.0000"));
            Enter(*w, Name("txtTxTone", 15), QStringLiteral("754"));
            QTest::mouseClick(w->cmdWrite, Qt::LeftButton);
            written = Grid(*w);
            digits = ostrand::FormatPersonality(w->eeImage);
        }
        auto w = OpenFast(sim.Device());
        QVERIFY(Grid(*w) != written);
        QTest::mouseClick(w->cmdRead, Qt::LeftButton);
        QVERIFY(!w->OperationRunning());
        QCOMPARE(Grid(*w), written);
        QCOMPARE(w->lblCPUType->text(), QStringLiteral("Delta-SX CPU - Revision 1"));
        QVERIFY(w->cmdRead->isEnabled() && w->cmdWrite->isEnabled());
        sim.Finish();
        QFile f(saved);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().trimmed(), digits);
    }

    void closingDuringAnOperation_data() {
        QTest::addColumn<bool>("write");
        QTest::newRow("during Read Radio") << false;
        QTest::newRow("during Write Radio") << true;
    }
    void closingDuringAnOperation() {
        QFETCH(bool, write);
        RibSimProcess sim({"--silent", "all"}); // the RIB never answers: the search goes on
        auto w = OpenFast(sim.Device());
        w->mnuDebug->trigger();
        w->cmbBand->setCurrentIndex(2);
        bool runningAtClose = false;
        QTimer::singleShot(30, w.get(), [&] {
            runningAtClose = w->OperationRunning();
            w->close();
        });
        QTest::mouseClick(write ? w->cmdWrite : w->cmdRead, Qt::LeftButton);
        QVERIFY(runningAtClose);
        QVERIFY(!w->OperationRunning());
        QVERIFY(w->Closing());
        QVERIFY(!w->isVisible());
        QCOMPARE(StoredPreference("RadioIndex"), QStringLiteral("2"));
        w->close();
        QFile log(Home() + QStringLiteral("/debug.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll().count("AppExit: "), 1);
    }
};

QTEST_MAIN(RadioWindowTest)
#include "tst_radiowindow.moc"
