// The exchanges over a real serial port: QSerialPort on the simulated RIB's pseudo-terminal,
// with every timeout scaled down.
#include "RecordingHost.h"
#include "RibSimProcess.h"
#include "link/RibLink.h"

#include <QTest>
#include <memory>

using namespace ostrand;

namespace {

const LinkTiming kFast{0.05, std::chrono::milliseconds(10)};
// For the late answers: a tenth, so the margins stay wide on a busy machine.
const LinkTiming kTenth{0.1, std::chrono::milliseconds(10)};

// The simulator, a recording host and an open link on it.
struct Rig {
    RibSimProcess sim;
    RecordingHost host;
    std::unique_ptr<RibLink> link;
    Rig(const QStringList& args, const LinkTiming& timing = kFast) : sim(args) {
        host.device = sim.Device();
        link = std::make_unique<RibLink>(host, timing);
        QString failure;
        if (!link->Open(failure)) qWarning("%s", qPrintable(failure));
    }
    // The log lines with their quoted contents cut off, to compare the order.
    QStringList Heads() const {
        QStringList heads;
        for (const QString& l : host.logLines)
            heads << l.section('\'', 0, 0);
        return heads;
    }
};

} // namespace

class TestRibLink : public QObject {
    Q_OBJECT
private slots:
    void findRib_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("wakeUps");
        QTest::newRow("answers at once") << QStringList{} << true << 1;
        QTest::newRow("never answers: ten tries") << QStringList{"--silent", "WAKE"} << false << 10;
        QTest::newRow("answers only the tenth") << QStringList{"--ignore", "WAKE:9"} << true << 10;
    }
    void findRib() {
        QFETCH(QStringList, args);
        QFETCH(int, wakeUps);
        Rig rig(args);
        QTEST(rig.link->FindRIB(), "found");
        QTRY_COMPARE(rig.sim.Count("<ESC>ZZZZ"), wakeUps);
        QStringList expected{"FindRIB: Entered"};
        for (int c = 10; c > 10 - wakeUps; --c)
            expected << "FindRIB: Sent Init"
                     << "FindRIB: Wait exited with "
                     << "FindRIB: cnt=" + QString::number(c);
        QCOMPARE(rig.Heads(), expected << "FindRIB: Loop exited with ");
        QVERIFY(rig.link->inbuf().isEmpty());
    }

    void sendCmdWaitPrompt_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("prompted");
        QTest::addColumn<int>("sends");
        QTest::newRow("prompt at once") << QStringList{} << true << 1;
        QTest::newRow("answer after 3 s: sent twice")
            << QStringList{"--late", "SID:300"} << true << 2;
        QTest::newRow("answers only the fourth") << QStringList{"--ignore", "SID:3"} << true << 4;
        QTest::newRow("never answers: four tries") << QStringList{"--silent", "SID"} << false << 4;
        QTest::newRow("prompt split over receive events")
            << QStringList{"--char-delay", "3"} << true << 1;
    }
    void sendCmdWaitPrompt() {
        QFETCH(QStringList, args);
        QFETCH(bool, prompted);
        QFETCH(int, sends);
        Rig rig(args, kTenth);
        QCOMPARE(rig.link->SendCmdWaitPrompt("SID = 10\r\n"), prompted);
        QTRY_COMPARE(rig.sim.Count("SID = 10"), sends);
        QStringList expected{"SendCmdWaitPrompt: Entered"};
        for (int i = 0; i < sends; ++i)
            expected << "SendCmdWaitPrompt: Sent "
                     << "SendCmdWaitPrompt: wait exited with ";
        expected << "SendCmdWaitPrompt: loop exited with "
                 << (prompted ? "SendCmdWaitPrompt: True" : "SendCmdWaitPrompt: False");
        QCOMPARE(rig.Heads(), expected);
        // The command's own CR LF stands inside the quotes.
        QCOMPARE(rig.host.logLines[1], QString("SendCmdWaitPrompt: Sent 'SID = 10\r\n'"));
    }

    void compare_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("equal");
        QTest::addColumn<int>("sends");
        QTest::newRow("== is equal") << QStringList{"--cmp-text", "=="} << true << 1;
        QTest::newRow("<> ends at once, no retry") << QStringList{"--compare-differ"} << false << 1;
        QTest::newRow("both <> and == is equal") << QStringList{"--cmp-text", "<>=="} << true << 1;
        QTest::newRow("silence: four tries") << QStringList{"--silent", "CMP"} << false << 4;
        QTest::newRow("== split over receive events")
            << QStringList{"--cmp-text", "==", "--char-delay", "4"} << true << 1;
    }
    void compare() {
        QFETCH(QStringList, args);
        QFETCH(bool, equal);
        Rig rig(args);
        QCOMPARE(rig.link->GetCompareResult("CMP F000-F800=80\r\n"), equal);
        QTEST(rig.sim.Count("CMP F000-F800=80"), "sends");
        QStringList expected{"GetCompareResult: Entered with "};
        if (equal) expected << "GetCompareResult: True";
        QCOMPARE(rig.Heads(), expected << "GetCompareResult: Exiting with ");
    }

    void radioId_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("revision");
        QTest::addColumn<int>("queries");
        // The host starts at CPU 16 revision 7 so kept values are visible.
        QTest::newRow("Delta-SX rev 1") << QStringList{} << true << 17 << 1 << 1;
        QTest::newRow("revision missing: id taken, false")
            << QStringList{"--gid-text", "RADIO ID: 11"} << false << 17 << 7 << 1;
        QTest::newRow("no radio 255") << QStringList{"--cpu", "255"} << false << 255 << 1 << 1;
        QTest::newRow("silence: four queries, values kept")
            << QStringList{"--silent", "GID"} << false << 16 << 7 << 4;
    }
    void radioId() {
        QFETCH(QStringList, args);
        Rig rig(args);
        rig.host.radioId = 16;
        rig.host.revision = 7;
        QTEST(rig.link->GetRadioID(), "result");
        QTEST(int(rig.host.radioId), "id");
        QTEST(int(rig.host.revision), "revision");
        QTEST(rig.sim.Count("GID 2 = 0"), "queries");
        QCOMPARE(rig.host.identitySets, 1); // the display is refreshed whatever the result
    }

    void putIntelHex_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("passfail");
        QTest::newRow("prompt after the end record") << QStringList{} << true;
        QTest::newRow("no prompt") << QStringList{"--silent", "DATA"} << false;
    }
    void putIntelHex() {
        QFETCH(QStringList, args);
        QFETCH(bool, passfail);
        Rig rig(args);
        bool result = !passfail;
        rig.link->PutIntelHex("IIT =F000\r\n", Block{}, result);
        QCOMPARE(result, passfail);
        // The simulator shows the line it received between CR LFs: all records, then the end.
        const QByteArray records = IntelHexFields(Block{}).join();
        QTRY_COMPARE(rig.sim.Received().value(1), QString::fromLatin1(records + ":00000001FF"));
        QCOMPARE(rig.sim.Received().value(0), QString("IIT =F000"));
        QCOMPARE(rig.Heads(), (QStringList{"PutIntelHex: Entered", "PutIntelHex: Sent ",
                                           "PutIntelHex: Data sent", "PutIntelHex: Terminator sent",
                                           passfail ? "PutIntelHex: Passed with "
                                                    : "PutIntelHex: Failed with "}));
    }

    void getIntelHex_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("passfail");
        QTest::addColumn<QString>("lastLog");
        QTest::newRow("eight records") << QStringList{} << true << "GetIntelHex: found EOR";
        QTest::newRow("bad checksum in record 2")
            << QStringList{"--bad-checksum", "2"} << false
            << "GetIntelHex: Failed record checksum test - checksum= 2A8 addr=20";
        QTest::newRow("record 5 missing")
            << QStringList{"--missing-record", "5"} << false
            << "GetIntelHex: Incomplete data - 112 of 128 bytes received";
        QTest::newRow("silence") << QStringList{"--silent", "IOT"} << false
                                 << "GetIntelHex: Failed to get EOR";
    }
    void getIntelHex() {
        QFETCH(QStringList, args);
        QFETCH(bool, passfail);
        Rig rig(args);
        QVERIFY(rig.link->SendCmdWaitPrompt("RRD 7F-2=0\r\n"));
        Block block;
        block.fill(0xEE);
        bool ok = !passfail;
        rig.link->GetIntelHex("IOT F800-80=0\r\n", block, ok);
        QCOMPARE(ok, passfail);
        QTEST(rig.host.logLines.last(), "lastLog");
        for (int i = 0; i < 128; ++i)
            QCOMPARE(int(block[i]), passfail ? i : 0xEE); // the simulator's radio holds 0..127
    }
};

QTEST_GUILESS_MAIN(TestRibLink)
#include "tst_riblink.moc"
