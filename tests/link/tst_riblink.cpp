// The exchanges, and Read Radio and Write Radio, over a real serial port: QSerialPort on the
// simulated RIB's pseudo-terminal, with every timeout scaled down. Every fault of the RIB and
// the line, step by step, is in the fault matrix.
#include "RecordingHost.h"
#include "RibSimProcess.h"
#include "SimRadio.h"
#include "link/RadioOperations.h"
#include "link/RibLink.h"

#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace ostrand;

namespace {

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
};

// The log lines with their quoted contents cut off, to compare the order.
QStringList Heads(const RecordingHost& host) {
    QStringList heads;
    for (const QString& l : host.logLines)
        heads << l.section('\'', 0, 0);
    return heads;
}

} // namespace

class TestRibLink : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

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
        QCOMPARE(Heads(rig.host), expected << "FindRIB: Loop exited with ");
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
        QCOMPARE(Heads(rig.host), expected);
        // The command's own CR LF stands inside the quotes.
        QCOMPARE(rig.host.logLines[1], QString("SendCmdWaitPrompt: Sent 'SID = 10\r\n'"));
    }

    void compare_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("equal");
        QTest::addColumn<int>("sends");
        QTest::newRow("<> ends at once, no retry") << QStringList{"--compare-differ"} << false << 1;
        QTest::newRow("both <> and == is equal") << QStringList{"--cmp-text", "<>=="} << true << 1;
        QTest::newRow("scattered = < >: no verdict, four tries")
            << QStringList{"--cmp-text", "= < > ="} << false << 4;
    }
    void compare() {
        QFETCH(QStringList, args);
        QFETCH(bool, equal);
        QFETCH(int, sends);
        Rig rig(args);
        QCOMPARE(rig.link->GetCompareResult("CMP F000-F800=80\r\n"), equal);
        QTRY_COMPARE(rig.sim.Count("CMP F000-F800=80"), sends);
        QStringList expected{"GetCompareResult: Entered with "};
        if (equal) expected << "GetCompareResult: True";
        QCOMPARE(Heads(rig.host), expected << "GetCompareResult: Exiting with ");
    }

    void putIntelHex() {
        Rig rig({});
        bool passfail = false;
        rig.link->PutIntelHex("IIT =F000\r\n", Pattern(0), passfail);
        QVERIFY(passfail);
        // The simulator shows the line it received between CR LFs: all records, then the end.
        const QByteArray records = IntelHexFields(Pattern(0)).join();
        QTRY_COMPARE(rig.sim.Received(), (QStringList{"IIT =F000", records + ":00000001FF"}));
        QCOMPARE(
            Heads(rig.host),
            (QStringList{"PutIntelHex: Entered", "PutIntelHex: Sent ", "PutIntelHex: Data sent",
                         "PutIntelHex: Terminator sent", "PutIntelHex: Passed with "}));
    }

    void readRadio() {
        const Block radio = Pattern(3);
        RibSimProcess sim({"--cpu", "0x10", "--revision", "2", "--load",
                           WriteRadioFile(dir_.filePath("radio.DS"), radio)});
        RecordingHost host;
        host.device = sim.Device();
        host.image.fill(0x5C);
        EEImage expected = host.image;
        std::copy(radio.begin(), radio.end(), expected.begin());
        QVERIFY(ReadRadio(host, kFast));
        QCOMPARE(host.image, expected);
        QCOMPARE(host.statuses, QString("Searching for RIB...|Found RIB|Delta-S Firmware\nSoftware "
                                        "Revision 2|SID sent OK|RRD sent OK|Data was Read OK|Done")
                                    .split('|'));
        QCOMPARE(host.events,
                 QString("read off|write off|show|close|decode|read on|write on").split('|'));
        QCOMPARE(sim.Received(),
                 QString("<ESC>ZZZZ|GID 2 = 0|SID = 10|RRD 7F-2=0|IOT F800-80=0").split('|'));
        const QString command = "SendCmdWaitPrompt: Entered|SendCmdWaitPrompt: Sent |"
                                "SendCmdWaitPrompt: wait exited with |SendCmdWaitPrompt: loop "
                                "exited with |SendCmdWaitPrompt: True|";
        QCOMPARE(
            Heads(host),
            QString("mdRead: Entered|Read: PortOpen=True|FindRIB: Entered|FindRIB: Sent Init|"
                    "FindRIB: Wait exited with |FindRIB: cnt=10|FindRIB: Loop exited with |"
                    "GetRadioID: Entered|GetRadioID: GID sent|GetRadioID: wait exited with |"
                    "GetRadioID: cnt=4|GetRadioID: Loop exited with |" +
                    command + command +
                    "GetIntelHex: Entered|GetIntelHex: Sent |GetIntelHex: Wait exited with |"
                    "GetIntelHex: found EOR|cmdRead: Read OK|Read: PortOpen=False|cmdRead: Exiting")
                .split('|'));
    }

    void writeCpuWarning_data() {
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<QString>("lastStatus");
        QTest::newRow("No: nothing sent, no beep")
            << false << "Delta-SX Firmware\nSoftware Revision 1";
        QTest::newRow("Yes: written unchanged") << true << "Verify OK!";
    }
    void writeCpuWarning() {
        QFETCH(bool, answerYes);
        const Block original = Pattern(1), edited = Pattern(9);
        const QString save = dir_.filePath("saved.DSX");
        QFile::remove(save);
        RibSimProcess sim(
            {"--load", WriteRadioFile(dir_.filePath("orig.DSX"), original), "--save", save});
        RecordingHost host;
        host.device = sim.Device();
        host.radioId = 16; // the image was encoded for the other CPU
        host.answerYes = answerYes;
        std::copy(edited.begin(), edited.end(), host.image.begin());
        QCOMPARE(WriteRadio(host, kFast), answerYes);
        QTEST(host.statuses.last(), "lastStatus");
        QCOMPARE(host.beeps, 0);
        QCOMPARE(host.questions, 1);
        QCOMPARE(host.questionText,
                 QString("Target Radio CPU expects an EEPROM format different than you are "
                         "attempting to write.  Do you wish to contine?"));
        QCOMPARE(host.questionTitle, QString("CPU Version Warning"));
        QCOMPARE(host.events.mid(0, 4), (QStringList{"write off", "read off", "encode", "decode"}));
        if (!answerYes) QCOMPARE(sim.Received().last(), QString("GID 2 = 0"));
        sim.Finish();
        QFile saved(save);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), Digits(answerYes ? edited : original));
    }

    void windowClosingEndsTheOperation_data() {
        QTest::addColumn<bool>("write");
        QTest::newRow("read") << false;
        QTest::newRow("write") << true;
    }
    void windowClosingEndsTheOperation() {
        QFETCH(bool, write);
        RibSimProcess sim({"--silent", "all"});
        RecordingHost host;
        host.device = sim.Device();
        QTimer::singleShot(100, [&host] { host.closing = true; });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!(write ? WriteRadio(host, kFast) : ReadRadio(host, kFast)));
        // Ends at the next wait: well before the 1 s search, with no beep and no pause.
        QVERIFY2(clock.elapsed() < 400, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(host.beeps, 0);
        QVERIFY(host.readEnabled && host.writeEnabled && !host.statusShown);
        QVERIFY(sim.Count("<ESC>ZZZZ") < 5);
        QSerialPort again; // the port is released: it opens at once
        again.setPortName(sim.Device());
        QVERIFY(again.open(QIODevice::ReadWrite));
    }
};

QTEST_GUILESS_MAIN(TestRibLink)
#include "tst_riblink.moc"
