// Read Radio and Write Radio end to end against the simulated RIB, with scaled time. Every
// fault of the RIB and the port, step by step, is in the fault matrix; here: the exact
// sequence of a read, the CPU warning of a write, and what the operator does meanwhile.
#include "RecordingHost.h"
#include "RibSimProcess.h"
#include "link/RadioOperations.h"
#include "link/RibProtocol.h"

#include <QEventLoop>
#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace ostrand;

namespace {

const LinkTiming kFast{0.05, std::chrono::milliseconds(10)};

QByteArray Digits(const Block& block) {
    return QByteArray(reinterpret_cast<const char*>(block.data()), 128).toHex().toUpper();
}

Block Pattern(int seed) {
    Block b;
    for (int i = 0; i < 128; ++i)
        b[i] = static_cast<uint8_t>((i * 7 + seed) & 0xFF);
    return b;
}

void ExpectIdle(const RecordingHost& host) {
    QVERIFY(host.readEnabled);
    QVERIFY(host.writeEnabled);
    QVERIFY(!host.statusShown);
}

// The log heads of one prompted command.
const QStringList kCommandLog{"SendCmdWaitPrompt: Entered", "SendCmdWaitPrompt: Sent ",
                              "SendCmdWaitPrompt: wait exited with ",
                              "SendCmdWaitPrompt: loop exited with ", "SendCmdWaitPrompt: True"};

} // namespace

class TestRadioOps : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString RadioFile(const QString& name, const Block& block) {
        QFile f(dir_.filePath(name));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(Digits(block));
        return f.fileName();
    }

private slots:
    void read_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("statuses");
        QTest::addColumn<QStringList>("events");
        const QStringList upToData{"Searching for RIB...", "Found RIB",
                                   "Delta-S Firmware\nSoftware Revision 2", "SID sent OK",
                                   "RRD sent OK"};
        QTest::newRow("success") << QStringList{}
                                 << upToData + QStringList{"Data was Read OK", "Done"}
                                 << QStringList{"read off", "write off", "show",    "close",
                                                "decode",   "read on",   "write on"};
        // Records 0..6 arrive intact: none of them may reach the image.
        QTest::newRow("bad checksum in the last record: image unchanged")
            << QStringList{"--bad-checksum", "7"}
            << upToData + QStringList{"Failed while reading Data"}
            << QStringList{"read off", "write off", "show",    "beep",
                           "close",    "decode",    "read on", "write on"};
    }
    void read() {
        QFETCH(QStringList, args);
        QFETCH(QStringList, statuses);
        const Block radio = Pattern(3);
        RibSimProcess sim(args + QStringList{"--cpu", "0x10", "--revision", "2", "--load",
                                             RadioFile("radio.DS", radio)});
        RecordingHost host;
        host.device = sim.Device();
        host.image.fill(0x5C);
        EEImage expected = host.image;
        const bool ok = statuses.last() == "Done";
        if (ok) std::copy(radio.begin(), radio.end(), expected.begin());
        QCOMPARE(ReadRadio(host, kFast), ok);
        QCOMPARE(host.image, expected);
        QCOMPARE(host.statuses, statuses);
        QTEST(host.events, "events");
        QCOMPARE(int(host.radioId), 16);
        QCOMPARE(int(host.revision), 2);
        QCOMPARE(sim.Received(), (QStringList{"<ESC>ZZZZ", "GID 2 = 0", "SID = 10", "RRD 7F-2=0",
                                              "IOT F800-80=0"}));
        QStringList heads;
        for (const QString& l : host.logLines)
            heads << l.section('\'', 0, 0);
        const QStringList expectedLog = QStringList{"mdRead: Entered",
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
                                        kCommandLog + kCommandLog +
                                        QStringList{"GetIntelHex: Entered", "GetIntelHex: Sent ",
                                                    "GetIntelHex: Wait exited with "};
        QCOMPARE(heads.mid(0, expectedLog.size()), expectedLog);
        QCOMPARE(heads.mid(heads.size() - 3),
                 (QStringList{ok ? "cmdRead: Read OK" : "cmdRead: Read Failed",
                              "Read: PortOpen=False", "cmdRead: Exiting"}));
    }

    void writeCpuWarning_data() {
        QTest::addColumn<int>("encodedFor");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<QString>("lastStatus");
        QTest::newRow("same CPU: no question") << 17 << false << "Verify OK!";
        QTest::newRow("CPU mismatch, No: nothing sent, no beep")
            << 16 << false << "Delta-SX Firmware\nSoftware Revision 1";
        QTest::newRow("CPU mismatch, Yes: written unchanged") << 16 << true << "Verify OK!";
    }
    void writeCpuWarning() {
        QFETCH(int, encodedFor);
        QFETCH(bool, answerYes);
        const Block original = Pattern(1), edited = Pattern(9);
        const QString save = dir_.filePath("saved.DSX");
        QFile::remove(save);
        RibSimProcess sim({"--load", RadioFile("orig.DSX", original), "--save", save});
        RecordingHost host;
        host.device = sim.Device();
        host.radioId = static_cast<int16_t>(encodedFor);
        host.answerYes = answerYes;
        std::copy(edited.begin(), edited.end(), host.image.begin());
        const bool written = encodedFor == 17 || answerYes;
        QCOMPARE(WriteRadio(host, kFast), written);
        QTEST(host.statuses.last(), "lastStatus");
        QCOMPARE(host.beeps, 0);
        QCOMPARE(host.questions, encodedFor != 17 ? 1 : 0);
        if (host.questions) {
            QCOMPARE(host.questionText,
                     QString("Target Radio CPU expects an EEPROM format different than you are "
                             "attempting to write.  Do you wish to contine?"));
            QCOMPARE(host.questionTitle, QString("CPU Version Warning"));
        }
        ExpectIdle(host);
        QCOMPARE(host.events.mid(0, 4), (QStringList{"write off", "read off", "encode", "decode"}));
        QCOMPARE(host.events.mid(host.events.size() - 2), (QStringList{"write on", "read on"}));
        sim.Finish();
        QFile saved(save);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), Digits(written ? edited : original));
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
        QSerialPort again; // the port is released: it opens at once
        again.setPortName(sim.Device());
        QVERIFY(again.open(QIODevice::ReadWrite));
    }

    void waitsSurviveNestedWindowActivity() {
        // A modal dialog opened during a wait runs its own event loop longer than the timeout,
        // and edits the image meanwhile; the read still completes and takes the radio's block.
        const Block radio = Pattern(5);
        RibSimProcess sim({"--load", RadioFile("nested.DSX", radio), "--late", "GID:80"});
        RecordingHost host;
        host.device = sim.Device();
        QTimer::singleShot(50, [&host] {
            QEventLoop modal;
            QTimer::singleShot(300, &modal, &QEventLoop::quit);
            host.image.fill(0x11);
            modal.exec();
        });
        QVERIFY(ReadRadio(host, kFast));
        QVERIFY(std::equal(radio.begin(), radio.end(), host.image.begin()));
        ExpectIdle(host);
    }
};

QTEST_GUILESS_MAIN(TestRadioOps)
#include "tst_radioops.moc"
