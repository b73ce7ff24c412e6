// Every fault the RIB or the line can produce, for both radio operations: the operator sees
// the failure text of the step that failed, the operation ends idle (status closed, both
// buttons back, port released), a failed read leaves the image as it was, and the radio holds
// either its old personality or exactly the new one. No fault makes the program spin, grow its
// memory or flood its log.
#include "RecordingHost.h"
#include "RibSimProcess.h"
#include "SimRadio.h"
#include "link/RadioOperations.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>

using namespace ostrand;

namespace {

enum class Op { Read, Write };
// What the radio holds after a write: untouched, or exactly the image sent.
enum class Radio { Old, New };

bool Succeeded(const QString& lastStatus) {
    return lastStatus == "Done" || lastStatus == "Verify OK!";
}

// The fixed pauses of an operation that ends with this status after sending this.
int Pauses(const QString& lastStatus, const QString& lastSent) {
    if (Succeeded(lastStatus)) return 400 + 1000;
    const bool beforeDelay = lastSent.startsWith("<ESC>") || lastSent.startsWith("GID");
    return (beforeDelay ? 0 : 400) + 3000;
}

bool Run(Op op, RecordingHost& host, Clock& clock) {
    return op == Op::Read ? ReadRadio(host, host, clock) : WriteRadio(host, host, clock);
}

// Processor time (ms) and peak memory (KiB) of this process so far.
std::pair<qint64, long> Usage() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    const auto ms = [](timeval t) { return qint64(t.tv_sec) * 1000 + t.tv_usec / 1000; };
    return {ms(u.ru_utime) + ms(u.ru_stime), u.ru_maxrss};
}

} // namespace

Q_DECLARE_METATYPE(Op)
Q_DECLARE_METATYPE(Radio)

class TestFaultMatrix : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void operationUnderFault_data() {
        QTest::addColumn<Op>("op");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("lastStatus");
        QTest::addColumn<QString>("lastSent"); // nothing is sent after this
        // Real milliseconds the operation must at least take: the waits that time out, plus
        // the fixed pauses (400 ms after identification, 1 s after success, 3 s after failure).
        QTest::addColumn<int>("minRealMs");
        QTest::addColumn<Radio>("radio");
        QTest::addColumn<bool>("slow"); // a tenth instead of a twentieth
        const auto row = [](const char* tag, QStringList args, QString status, QString lastSent,
                            int timedOut = 0, Radio radio = Radio::Old, bool slow = false) {
            QTest::newRow(tag) << (tag[0] == 'r' ? Op::Read : Op::Write) << args << status
                               << lastSent << timedOut + Pauses(status, lastSent) << radio << slow;
        };
        const Radio New = Radio::New, Old = Radio::Old;
        const QString wake = "<ESC>ZZZZ", gid = "GID 2 = 0", sid = "SID = 10", rrd = "RRD 7F-2=0",
                      iot = "IOT F800-80=0", wrd = "WRD 7F-2=0", cmp = "CMP F000-F800=80",
                      records = ":10", readFailed = "Failed while reading Data",
                      writeFailed = "Failed while Writing Data", badId = "Bad Radio ID",
                      lost = "Lost the connection to %DEV. Is the RIB still plugged in?",
                      partial = lost + "\nThe radio may hold a partial personality: write it "
                                       "again once the RIB answers.";
        // Silence at each step.
        row("write: no RIB", {"--silent", "all"}, "RIB not found", wake, 10000);
        row("write: identification unanswered", {"--silent", "GID"}, badId, gid, 8000);
        row("read: RRD unanswered", {"--silent", "RRD"}, "Failed while sending RRD", rrd, 8000);
        row("read: records unanswered", {"--silent", "IOT"}, readFailed, iot, 10000);
        row("write: records unanswered", {"--silent", "DATA"}, writeFailed, records, 1000);
        row("write: SID unanswered", {"--silent", "SID"}, "Failed while sending SID", sid, 8000);
        row("write: WRD unanswered", {"--silent", "WRD"}, "Failed while sending WRD", wrd, 8000);
        row("write: compare unanswered", {"--silent", "CMP"}, "Verify failed", cmp, 8000, New);
        // An answer without the prompt counts as silence, though the radio was written.
        row("write: WRD answered without prompt", {"--no-prompt", "WRD"},
            "Failed while sending WRD", wrd, 8000, New);
        // Answers late but within the wait are no fault.
        row("read: records late but in time", {"--late", "IOT:250"}, "Done", iot, 0, Old, true);
        row("write: records acknowledged late but in time", {"--late", "DATA:80"}, "Verify OK!",
            cmp, 0, New, true);
        // Damaged records; the intact ones before the damage must not reach the image either.
        row("read: bad checksum, last record", {"--bad-checksum", "7"}, readFailed, iot);
        row("read: missing first record", {"--missing-record", "0"}, readFailed, iot);
        // Extra text the program must see through.
        row("read: echo and garbage around every answer", {"--echo", "--noise"}, "Done", iot);
        row("write: echo and garbage around every answer", {"--echo", "--noise"}, "Verify OK!", cmp,
            0, New);
        row("read: one character per receive event", {"--char-delay", "1"}, "Done", iot, 0, Old,
            true);
        // The line drops at each step: the operation ends at once.
        row("read: hang-up at the wake-up", {"--hangup-on", "WAKE"}, lost, wake);
        row("read: hang-up at identification", {"--hangup-on", "GID"}, lost, gid);
        row("read: hang-up at SID", {"--hangup-on", "SID"}, lost, sid);
        row("read: hang-up at RRD", {"--hangup-on", "RRD"}, lost, rrd);
        row("read: hang-up inside the records", {"--hangup-after", "150"}, lost, iot);
        row("write: hang-up inside the records", {"--hangup-on", "DATA"}, lost, records);
        row("write: hang-up at WRD", {"--hangup-on", "WRD"}, partial, wrd);
        row("write: hang-up at the compare", {"--hangup-on", "CMP"}, partial, cmp, 0, New);
        // A device that streams garbage costs neither memory nor log without bound.
        row("read: a device streaming garbage", {"--flood", "--silent", "all"}, "RIB not found",
            wake, 10000, Old, true);
        // The simulator at the line speed that goes with a tenth of the time.
        row("read at line speed", {"--baud", "24000"}, "Done", iot, 0, Old, true);
        row("write at line speed", {"--baud", "24000"}, "Verify OK!", cmp, 0, New, true);
        // Identification and firmware.
        row("read: no radio behind the RIB (ID FF)", {"--cpu", "0xFF"},
            badId + "\nNo Radio Connected", gid);
        row("write: revision FF", {"--revision", "0xFF"}, badId + "\nDelta-SX CPU - Revision 255",
            gid);
        row("read: identification without fields", {"--gid-text", "ERROR"}, badId, gid);
        row("read: unknown CPU", {"--cpu", "18", "--revision", "1"},
            "Firmware ID: 18 Software Rev: 1 is unknown", gid);
        row("read: Delta-S unknown revision", {"--cpu", "0x10", "--revision", "3"},
            "Delta-S Firmware\nSoftware Revision 3 is unknown", gid);
        row("write: Delta-SX unknown revision", {"--revision", "2"},
            "Delta-SX Firmware\nSoftware Revision 2 is unknown", gid);
    }
    void operationUnderFault() {
        QFETCH(Op, op);
        QFETCH(QStringList, args);
        QFETCH(QString, lastStatus);
        QFETCH(Radio, radio);
        const bool ok = Succeeded(lastStatus), lineGone = lastStatus.startsWith("Lost");
        const Block inRadio = Pattern(1), edited = Pattern(7);
        const QString tag =
            QString(QTest::currentDataTag()).replace(QRegularExpression("\\W"), "_");
        const QString saved = dir_.filePath(tag + ".saved");
        QFile::remove(saved);
        const QString load = WriteRadioFile(dir_.filePath(tag + ".radio"), inRadio);
        RibSimProcess sim(args + QStringList{"--load", load, "--save", saved});
        QVERIFY(!sim.Device().isEmpty());
        RecordingHost host;
        host.device = sim.Device();
        host.radioId = 17, host.revision = 1; // the image is encoded for the simulated radio
        host.image.fill(0x5C);
        std::copy(edited.begin(), edited.end(), host.image.begin());
        EEImage expected = host.image;
        // A read takes the radio's block only when it succeeded; a write never changes it here.
        if (op == Op::Read && ok) std::copy(inRadio.begin(), inRadio.end(), expected.begin());
        QFETCH(bool, slow);
        Clock clock(slow ? kTenth : kFast);
        const double scale = slow ? kTenth : kFast;
        QElapsedTimer timer;
        timer.start();
        const auto [cpuBefore, peakBefore] = Usage();
        QCOMPARE(Run(op, host, clock), ok);
        const qint64 elapsed = timer.elapsed();
        const auto [cpuAfter, peakAfter] = Usage();
        // No wait or pause may be skipped or cut short; a vanished line ends the operation at
        // once, without spinning, in a handful of log lines.
        QFETCH(int, minRealMs);
        const QString took = QString("%1 ms, %2 ms CPU").arg(elapsed).arg(cpuAfter - cpuBefore);
        QVERIFY2(elapsed >= minRealMs * scale, qPrintable(took));
        if (lineGone) {
            QVERIFY2(elapsed <= minRealMs * scale + 1000, qPrintable(took));
            QVERIFY2(cpuAfter - cpuBefore < std::min<qint64>(1000, elapsed / 2), qPrintable(took));
            QCOMPARE(host.logLines.filter("OnComm: ").size(), 1);
            QVERIFY(host.logLines.size() < 40);
        }
#ifndef __SANITIZE_ADDRESS__ // which keeps freed memory for a while
        QVERIFY2(peakAfter - peakBefore < 4096,
                 qPrintable(QString::number(peakAfter - peakBefore)));
#endif
        for (const QString& line : host.logLines)
            QVERIFY(line.size() < 4200);
        QCOMPARE(host.statuses.value(0), QString("Searching for RIB..."));
        QCOMPARE(host.statuses.last(), QString(lastStatus).replace("%DEV", sim.Device()));
        QCOMPARE(host.events.count("beep"), ok ? 0 : 1);
        // Idle again: the status window closed last.
        QCOMPARE(host.events.join('|'), ok ? "show|close" : "show|beep|close");
        QCOMPARE(host.logLines.last(),
                 QString(op == Op::Read ? "cmdRead: Exiting" : "Write: PortOpen=False"));
        QCOMPARE(host.image, expected);
        QVERIFY(ok || (host.radioId == 17 && host.revision == 1)); // a failure identifies nothing
        // Nothing goes out after the step that failed.
        const QStringList received = sim.Received();
        QFETCH(QString, lastSent);
        QVERIFY2(received.value(received.size() - 1).startsWith(lastSent),
                 qPrintable(received.join('|')));
        // The port is released: it opens at once. Not after a hang-up: the device is then
        // going away under the test and may vanish between the look and the open.
        if (!lineGone) {
            QSerialPort again;
            again.setPortName(sim.Device());
            QVERIFY2(again.open(QIODevice::ReadWrite), qPrintable(again.errorString()));
        }
        // The radio holds its own personality or exactly the one sent, never a mixture.
        sim.Finish();
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), Digits(radio == Radio::New ? edited : inRadio));
    }

    void portCannotBeOpened_data() {
        QTest::addColumn<Op>("op");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("reason");
        QTest::newRow("read: no such device") << Op::Read << "/dev/ostrand-fault-no-such-tty"
                                              << "no such device";
        QTest::newRow("write: not a serial device") << Op::Write << "/dev/null"
                                                    << "Cannot open";
        QTest::newRow("read: no device configured") << Op::Read << ""
                                                    << "No serial device";
        QTest::newRow("write: held by another program") << Op::Write << "busy"
                                                        << "in use";
    }
    void portCannotBeOpened() {
        QFETCH(Op, op);
        QFETCH(QString, device);
        RibSimProcess sim({});
        QSerialPort holder;
        if (device == "busy") {
            holder.setPortName(device = sim.Device());
            QVERIFY(holder.open(QIODevice::ReadWrite));
        }
        RecordingHost host;
        host.device = device;
        host.image.fill(0x33);
        const EEImage before = host.image;
        Clock clock(kFast);
        QVERIFY(!Run(op, host, clock));
        QCOMPARE(host.statuses.size(), 1);
        QFETCH(QString, reason);
        QVERIFY2(host.statuses.first().contains(reason), qPrintable(host.statuses.first()));
        QCOMPARE(host.events.join('|'), "show|beep|close");
        QCOMPARE(host.image, before);
        QCOMPARE(sim.Received(), QStringList{}); // nothing was sent
    }
};

QTEST_GUILESS_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
