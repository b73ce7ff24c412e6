// Read Radio and Write Radio end to end against the simulated RIB, with scaled time.
#include "RecordingHost.h"
#include "RibSimProcess.h"
#include "link/RadioOperations.h"
#include "link/RibProtocol.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <unistd.h>

using namespace ostrand;

namespace {

const LinkTiming kFast{0.05, std::chrono::milliseconds(10)};

QByteArray Digits(const Block& block) {
    QByteArray d;
    for (uint8_t b : block)
        d += QByteArray::number(b, 16).toUpper().rightJustified(2, '0');
    return d;
}

Block Pattern(int seed) {
    Block b;
    for (int i = 0; i < 128; ++i)
        b[i] = static_cast<uint8_t>((i * 7 + seed) & 0xFF);
    return b;
}

Block FirstBlock(const EEImage& image) {
    Block b;
    std::copy_n(image.begin(), 128, b.begin());
    return b;
}

void ExpectIdle(const RecordingHost& host) {
    QVERIFY(host.readEnabled);
    QVERIFY(host.writeEnabled);
    QVERIFY(!host.statusShown);
}

} // namespace

class TestRadioOps : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString WriteFile(const QString& name, const QByteArray& content) {
        QFile f(dir_.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return f.fileName();
    }

private slots:
    void readFailures_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("lastStatus");
        QTest::addColumn<QString>("lastSent"); // nothing goes out after this
        QTest::newRow("no RIB") << QStringList{"--silent", "all"} << "RIB not found"
                                << "<ESC>ZZZZ";
        QTest::newRow("no identification") << QStringList{"--gid-text", "nothing"} << "Bad Radio ID"
                                           << "GID 2 = 0";
        QTest::newRow("Delta-S revision 3") << QStringList{"--cpu", "0x10", "--revision", "3"}
                                            << "Delta-S Firmware\nSoftware Revision 3 is unknown"
                                            << "GID 2 = 0";
        QTest::newRow("CPU 18") << QStringList{"--cpu", "18", "--revision", "1"}
                                << "Firmware ID: 18 Software Rev: 1 is unknown"
                                << "GID 2 = 0";
        QTest::newRow("SID unanswered")
            << QStringList{"--silent", "SID"} << "Failed while sending SID"
            << "SID = 10";
        QTest::newRow("RRD unanswered")
            << QStringList{"--silent", "RRD"} << "Failed while sending RRD"
            << "RRD 7F-2=0";
        QTest::newRow("bad checksum")
            << QStringList{"--bad-checksum", "6"} << "Failed while reading Data"
            << "IOT F800-80=0";
        QTest::newRow("record missing")
            << QStringList{"--missing-record", "0"} << "Failed while reading Data"
            << "IOT F800-80=0";
        QTest::newRow("hang-up mid-transfer")
            << QStringList{"--hangup-after", "200"} << "Failed while reading Data"
            << "IOT F800-80=0";
    }
    void readFailures() {
        QFETCH(QStringList, args);
        RibSimProcess sim(args);
        RecordingHost host;
        host.device = sim.Device();
        host.image.fill(0x5C);
        const EEImage before = host.image;
        QVERIFY(!ReadRadio(host, kFast));
        QTEST(host.statuses.last(), "lastStatus");
        QCOMPARE(host.beeps, 1);
        // A failed read leaves the image exactly as it was, and the grid is redecoded from it.
        QCOMPARE(host.image, before);
        QCOMPARE(host.events.mid(host.events.indexOf("beep")),
                 (QStringList{"beep", "close", "decode", "read on", "write on"}));
        QTEST(sim.Received().last(), "lastSent");
        ExpectIdle(host);
        QCOMPARE(host.logLines.last(), QString("cmdRead: Exiting"));
    }

    void readSuccess() {
        const Block radio = Pattern(3);
        RibSimProcess sim(
            {"--cpu", "0x10", "--revision", "2", "--load", WriteFile("radio.DS", Digits(radio))});
        RecordingHost host;
        host.device = sim.Device();
        QVERIFY(ReadRadio(host, kFast));
        QCOMPARE(FirstBlock(host.image), radio);
        QCOMPARE(int(host.radioId), 16);
        QCOMPARE(int(host.revision), 2);
        QCOMPARE(host.beeps, 0);
        QCOMPARE(host.statuses, (QStringList{"Searching for RIB...", "Found RIB",
                                             "Delta-S Firmware\nSoftware Revision 2", "SID sent OK",
                                             "RRD sent OK", "Data was Read OK", "Done"}));
        QCOMPARE(host.events, (QStringList{"read off", "write off", "show", "close", "decode",
                                           "read on", "write on"}));
        QCOMPARE(sim.Received(), (QStringList{"<ESC>ZZZZ", "GID 2 = 0", "SID = 10", "RRD 7F-2=0",
                                              "IOT F800-80=0"}));
        // The debug log of a read, in order (quoted texts cut off).
        QStringList heads;
        for (const QString& l : host.logLines)
            heads << l.section('\'', 0, 0);
        const QStringList command{"SendCmdWaitPrompt: Entered", "SendCmdWaitPrompt: Sent ",
                                  "SendCmdWaitPrompt: wait exited with ",
                                  "SendCmdWaitPrompt: loop exited with ",
                                  "SendCmdWaitPrompt: True"};
        const QStringList expected =
            QStringList{"mdRead: Entered",
                        "Read: PortOpen=True",
                        "FindRIB: Entered",
                        "FindRIB: Sent Init",
                        "FindRIB: Wait exited with ",
                        "FindRIB: cnt=10",
                        "FindRIB: Loop exited with ",
                        "GetRadioID: Entered",
                        "GetRadioID: GID sent",
                        "GetRadioID: wait exited with ",
                        "GetRadioID: cnt=4",
                        "GetRadioID: Loop exited with "} +
            command + command +
            QStringList{
                "GetIntelHex: Entered",   "GetIntelHex: Sent ", "GetIntelHex: Wait exited with ",
                "GetIntelHex: found EOR", "cmdRead: Read OK",   "Read: PortOpen=False",
                "cmdRead: Exiting"};
        QCOMPARE(heads, expected);
    }

    void write_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("encodedFor");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("lastStatus");
        QTest::addColumn<bool>("radioHoldsImage");
        QTest::addColumn<int>("beeps");
        QTest::newRow("same CPU: written and verified")
            << QStringList{} << 17 << false << true << "Verify OK!" << true << 0;
        QTest::newRow("CPU mismatch, No: nothing sent, no beep")
            << QStringList{} << 16 << false << false << "Delta-SX Firmware\nSoftware Revision 1"
            << false << 0;
        QTest::newRow("CPU mismatch, Yes: written unchanged")
            << QStringList{} << 16 << true << true << "Verify OK!" << true << 0;
        QTest::newRow("compare <>") << QStringList{"--compare-differ"} << 17 << false << false
                                    << "Verify failed" << true << 1;
        QTest::newRow("records unanswered") << QStringList{"--silent", "DATA"} << 17 << false
                                            << false << "Failed while Writing Data" << false << 1;
        QTest::newRow("WRD unanswered") << QStringList{"--silent", "WRD"} << 17 << false << false
                                        << "Failed while sending WRD" << false << 1;
        QTest::newRow("Delta-SX revision 2")
            << QStringList{"--revision", "2"} << 17 << false << false
            << "Delta-SX Firmware\nSoftware Revision 2 is unknown" << false << 1;
    }
    void write() {
        QFETCH(QStringList, args);
        QFETCH(int, encodedFor);
        QFETCH(bool, answerYes);
        QFETCH(bool, radioHoldsImage);
        const Block original = Pattern(1);
        const QString save =
            dir_.filePath(QString("saved-%1.DSX").arg(QTest::currentDataTag()).replace(' ', '_'));
        QFile::remove(save);
        RibSimProcess sim(
            args + QStringList{"--load", WriteFile("orig.DSX", Digits(original)), "--save", save});
        RecordingHost host;
        host.device = sim.Device();
        host.radioId = static_cast<int16_t>(encodedFor);
        host.answerYes = answerYes;
        const Block edited = Pattern(9);
        std::copy(edited.begin(), edited.end(), host.image.begin());
        QTEST(WriteRadio(host, kFast), "ok");
        QTEST(host.statuses.last(), "lastStatus");
        QTEST(host.beeps, "beeps");
        QCOMPARE(host.questions, encodedFor != 17 ? 1 : 0);
        if (host.questions) {
            QCOMPARE(host.questionText,
                     QString("Target Radio CPU expects an EEPROM format different than you are "
                             "attempting to write.  Do you wish to contine?"));
            QCOMPARE(host.questionTitle, QString("CPU Version Warning"));
            QCOMPARE(sim.Count("IIT"), answerYes ? 1 : 0);
        }
        ExpectIdle(host);
        QCOMPARE(host.events.mid(0, 4), (QStringList{"write off", "read off", "encode", "decode"}));
        QCOMPARE(host.events.mid(host.events.size() - 2), (QStringList{"write on", "read on"}));
        QCOMPARE(host.logLines.last(), QString("Write: PortOpen=False"));
        sim.Finish();
        QFile saved(save);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), Digits(radioHoldsImage ? edited : original));
    }

    void portOpenFailure_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing device") << "/dev/ostrand-no-such-tty"
                                        << "no such device";
        QTest::newRow("permission denied names the group") << "noaccess"
                                                           << "must be in the group";
        QTest::newRow("busy") << "busy"
                              << "in use by another program";
    }
    void portOpenFailure() {
        QFETCH(QString, device);
        RibSimProcess sim({});
        QSerialPort holder;
        if (device == "noaccess") {
            if (::geteuid() == 0) QSKIP("root opens anything");
            device = WriteFile("noaccess", {});
            QFile::setPermissions(device, QFileDevice::ReadOwner);
        } else if (device == "busy") {
            device = sim.Device();
            holder.setPortName(device);
            QVERIFY(holder.open(QIODevice::ReadWrite));
        }
        for (bool write : {false, true}) {
            RecordingHost host;
            host.device = device;
            QVERIFY(!(write ? WriteRadio(host, kFast) : ReadRadio(host, kFast)));
            QCOMPARE(host.statuses.size(), 1);
            QVERIFY2(host.statuses.first().contains(device), qPrintable(host.statuses.first()));
            QFETCH(QString, reason);
            QVERIFY2(host.statuses.first().contains(reason), qPrintable(host.statuses.first()));
            QCOMPARE(host.beeps, 1);
            ExpectIdle(host);
        }
        QCOMPARE(sim.Received(), QStringList{}); // nothing was sent
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
        ExpectIdle(host);
        QVERIFY(sim.Count("<ESC>ZZZZ") < 5);
        // The port is closed again: it opens at once.
        QSerialPort again;
        again.setPortName(sim.Device());
        QVERIFY(again.open(QIODevice::ReadWrite));
    }

    void waitsSurviveNestedWindowActivity() {
        // A modal dialog opened during a wait runs its own event loop longer than the timeout,
        // and edits the image meanwhile; the read still completes and takes the radio's block.
        const Block radio = Pattern(5);
        RibSimProcess sim({"--load", WriteFile("nested.DSX", Digits(radio)), "--late", "GID:80"});
        RecordingHost host;
        host.device = sim.Device();
        QTimer::singleShot(50, [&host] {
            QEventLoop modal;
            QTimer::singleShot(300, &modal, &QEventLoop::quit);
            host.image.fill(0x11);
            modal.exec();
        });
        QVERIFY(ReadRadio(host, kFast));
        QCOMPARE(FirstBlock(host.image), radio);
        ExpectIdle(host);
    }
};

QTEST_GUILESS_MAIN(TestRadioOps)
#include "tst_radioops.moc"
