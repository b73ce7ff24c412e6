// The exchanges over a real serial port: QSerialPort on the simulated RIB's pseudo-terminal,
// with every timeout scaled to a tenth.
#include "RecordingHost.h"
#include "RibSimProcess.h"
#include "link/RibLink.h"

#include <QTest>

using namespace ostrand;

namespace {

const LinkTiming kFast{0.05, std::chrono::milliseconds(10)};
// For the late answers: a tenth, so the margins stay wide on a busy machine.
const LinkTiming kTenth{0.1, std::chrono::milliseconds(10)};

// The log lines of one exchange with their quoted contents cut off, to compare the order.
QStringList Heads(const QStringList& lines) {
    QStringList heads;
    for (const QString& l : lines)
        heads << l.section('\'', 0, 0);
    return heads;
}

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
        QTest::newRow("line noise around the prompt") << QStringList{"--noise"} << true << 1;
    }
    void findRib() {
        QFETCH(QStringList, args);
        QFETCH(int, wakeUps);
        RibSimProcess sim(args);
        RecordingHost host;
        host.device = sim.Device();
        RibLink link(host, kFast);
        QString failure;
        QVERIFY2(link.Open(failure), qPrintable(failure));
        QTEST(link.FindRIB(), "found");
        QTRY_COMPARE(sim.Count("<ESC>ZZZZ"), wakeUps);
        // The counter is logged from 10 down, once per wake-up.
        QStringList counts;
        for (const QString& l : host.logLines)
            if (l.startsWith("FindRIB: cnt=")) counts << l.mid(13);
        QStringList expected;
        for (int c = 10; c > 10 - wakeUps; --c)
            expected << QString::number(c);
        QCOMPARE(counts, expected);
        QCOMPARE(host.logLines.first(), QString("FindRIB: Entered"));
        QVERIFY(host.logLines.last().startsWith("FindRIB: Loop exited with '"));
        QVERIFY(link.inbuf().isEmpty());
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
        QTest::newRow("one character per receive event")
            << QStringList{"--char-delay", "3"} << true << 1;
        QTest::newRow("echo and noise before the prompt")
            << QStringList{"--echo", "--noise"} << true << 1;
    }
    void sendCmdWaitPrompt() {
        QFETCH(QStringList, args);
        QFETCH(bool, prompted);
        QFETCH(int, sends);
        RibSimProcess sim(args);
        RecordingHost host;
        host.device = sim.Device();
        RibLink link(host, kTenth);
        QString failure;
        QVERIFY(link.Open(failure));
        QCOMPARE(link.SendCmdWaitPrompt("SID = 10\r\n"), prompted);
        QTRY_COMPARE(sim.Count("SID = 10"), sends);
        QStringList expected{"SendCmdWaitPrompt: Entered"};
        for (int i = 0; i < sends; ++i)
            expected << "SendCmdWaitPrompt: Sent "
                     << "SendCmdWaitPrompt: wait exited with ";
        expected << "SendCmdWaitPrompt: loop exited with "
                 << (prompted ? "SendCmdWaitPrompt: True" : "SendCmdWaitPrompt: False");
        QCOMPARE(Heads(host.logLines), expected);
        // The command's own CR LF stands inside the quotes.
        QCOMPARE(host.logLines[1], QString("SendCmdWaitPrompt: Sent 'SID = 10\r\n'"));
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
        RibSimProcess sim(args);
        RecordingHost host;
        host.device = sim.Device();
        RibLink link(host, kFast);
        QString failure;
        QVERIFY(link.Open(failure));
        QCOMPARE(link.GetCompareResult("CMP F000-F800=80\r\n"), equal);
        QTEST(sim.Count("CMP F000-F800=80"), "sends");
        QCOMPARE(host.logLines.contains("GetCompareResult: True"), equal);
        QVERIFY(host.logLines.last().startsWith("GetCompareResult: Exiting with '"));
    }

    void radioId_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("revision");
        QTest::addColumn<int>("queries");
        // The host starts at CPU 16 revision 7 so kept values are visible.
        QTest::newRow("Delta-SX rev 1") << QStringList{} << true << 17 << 1 << 1;
        QTest::newRow("Delta-S rev 2")
            << QStringList{"--cpu", "0x10", "--revision", "2"} << true << 16 << 2 << 1;
        QTest::newRow("lower-case hex")
            << QStringList{"--gid-text", "RADIO ID: 1a\\nRADIO SOFTWARE REVISION: 0b"} << true << 26
            << 11 << 1;
        QTest::newRow("revision missing: id taken, false")
            << QStringList{"--gid-text", "RADIO ID: 11"} << false << 17 << 7 << 1;
        QTest::newRow("no radio 255") << QStringList{"--cpu", "255"} << false << 255 << 1 << 1;
        QTest::newRow("silence: four queries, values kept")
            << QStringList{"--silent", "GID"} << false << 16 << 7 << 4;
        QTest::newRow("fields without prompt still identify")
            << QStringList{"--cpu", "0x11", "--revision", "1", "--no-prompt", "GID"} << true << 17
            << 1 << 4;
    }
    void radioId() {
        QFETCH(QStringList, args);
        RibSimProcess sim(args);
        RecordingHost host;
        host.device = sim.Device();
        host.radioId = 16;
        host.revision = 7;
        RibLink link(host, kFast);
        QString failure;
        QVERIFY(link.Open(failure));
        QTEST(link.GetRadioID(), "result");
        QTEST(int(host.radioId), "id");
        QTEST(int(host.revision), "revision");
        QTEST(sim.Count("GID 2 = 0"), "queries");
        QCOMPARE(host.identitySets, 1); // the display is refreshed whatever the result
    }

    void putIntelHex_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("passfail");
        QTest::newRow("prompt after the end record") << QStringList{} << true;
        QTest::newRow("no prompt") << QStringList{"--silent", "DATA"} << false;
    }
    void putIntelHex() {
        QFETCH(QStringList, args);
        RibSimProcess sim(args);
        RecordingHost host;
        host.device = sim.Device();
        RibLink link(host, kFast);
        QString failure;
        QVERIFY(link.Open(failure));
        QFETCH(bool, passfail);
        bool result = !passfail;
        link.PutIntelHex("IIT =F000\r\n", Block{}, result);
        QCOMPARE(result, passfail);
        QByteArray records;
        for (int a = 0; a < 128; a += 16)
            records +=
                ":1000" + QByteArray::number(a, 16).toUpper().rightJustified(2, '0') + "00" +
                QByteArray(32, '0') +
                QByteArray::number((256 - 16 - a) % 256, 16).toUpper().rightJustified(2, '0');
        // The simulator shows the line it received between CR LFs: all records, then the end.
        QTRY_COMPARE(sim.Received().value(1), QString::fromLatin1(records + ":00000001FF"));
        QCOMPARE(sim.Received().value(0), QString("IIT =F000"));
        QVERIFY(records.startsWith(":10000000" + QByteArray(32, '0') + "F0"));
        QVERIFY(records.endsWith(":10007000" + QByteArray(32, '0') + "80"));
        QCOMPARE(
            Heads(host.logLines),
            (QStringList{"PutIntelHex: Entered", "PutIntelHex: Sent ", "PutIntelHex: Data sent",
                         "PutIntelHex: Terminator sent",
                         passfail ? "PutIntelHex: Passed with " : "PutIntelHex: Failed with "}));
    }

    void getIntelHex_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("passfail");
        QTest::addColumn<QString>("lastLog");
        QTest::newRow("eight records") << QStringList{} << true << "GetIntelHex: found EOR";
        QTest::newRow("echo and noise between records")
            << QStringList{"--echo", "--noise"} << true << "GetIntelHex: found EOR";
        QTest::newRow("bad checksum in record 2")
            << QStringList{"--bad-checksum", "2"} << false
            << "GetIntelHex: Failed record checksum test - checksum= 2A8 addr=20";
        QTest::newRow("record 5 missing")
            << QStringList{"--missing-record", "5"} << false
            << "GetIntelHex: Incomplete data - 112 of 128 bytes received";
        QTest::newRow("hang-up mid-transfer")
            << QStringList{"--hangup-after", "150"} << false << "GetIntelHex: Failed to get EOR";
        QTest::newRow("silence") << QStringList{"--silent", "IOT"} << false
                                 << "GetIntelHex: Failed to get EOR";
    }
    void getIntelHex() {
        QFETCH(QStringList, args);
        QFETCH(bool, passfail);
        RibSimProcess sim(args);
        RecordingHost host;
        host.device = sim.Device();
        RibLink link(host, kFast);
        QString failure;
        QVERIFY(link.Open(failure));
        QVERIFY(link.SendCmdWaitPrompt("RRD 7F-2=0\r\n"));
        host.logLines.clear();
        Block block;
        block.fill(0xEE);
        bool ok = !passfail;
        link.GetIntelHex("IOT F800-80=0\r\n", block, ok);
        QCOMPARE(ok, passfail);
        QTEST(host.logLines.last(), "lastLog");
        for (int i = 0; i < 128; ++i)
            QCOMPARE(int(block[i]), passfail ? i : 0xEE); // the simulator's radio holds 0..127
    }
};

QTEST_GUILESS_MAIN(TestRibLink)
#include "tst_riblink.moc"
