// SPDX-License-Identifier: GPL-3.0-or-later
// The link layer: the identification fields, the Intel HEX parse and the port advice; the
// exchanges over the simulated RIB's pseudo-terminal, every wait scaled down; and every fault
// the RIB or the line can produce, for both radio operations: the operator sees the failure
// text of the step that failed, the operation ends idle (status closed, port released), a
// failed read leaves the image as it was, and the radio holds either its old personality or
// exactly the new one. No fault makes the program spin, grow its memory or flood its log. The
// records, log lines and statuses of whole operations, in order, are pinned by the regression
// check.
#include "RecordingHost.h"
#include "RibSimProcess.h"
#include "link/RadioOperations.h"
#include "link/RibLink.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <numeric>
#include <sys/resource.h>

using namespace ostrand;

namespace {

// A twentieth of real time, and a tenth for answers that must come within one wait on a busy
// machine.
constexpr double kFast = 0.05, kTenth = 0.1;

// The simulator keeps its radio as the 128 bytes in upper-case hex.
QByteArray Digits(const Block& block) {
    return QByteArray(reinterpret_cast<const char*>(block.data()), kBlockSize).toHex().toUpper();
}

Block Pattern(int seed) {
    Block b;
    for (int i = 0; i < kBlockSize; ++i)
        b[size_t(i)] = static_cast<uint8_t>(i * 13 + seed);
    return b;
}

QString WriteRadioFile(const QString& path, const Block& block) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(Digits(block));
    return path;
}

struct Rig {
    RibSimProcess sim;
    RecordingHost host;
    explicit Rig(const QStringList& args) : sim(args) { host.device = sim.Device(); }
};

// The eight records of the bytes 0x80..0xFF, each followed by `separator`, then the end record.
QByteArray FullTransfer(const QByteArray& separator) {
    Block block;
    std::iota(block.begin(), block.end(), uint8_t(0x80));
    const QByteArray records = IntelHexFields(block).join();
    QByteArray out;
    for (int at = 0; at < records.size(); at += 43)
        out += records.mid(at, 43) + separator;
    return out + ":00000001FF\r\n*";
}

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

class TestLink : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void radioIdFields_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("fields"); // "id revision", "-" for a missing field
        const auto row = [](const char* tag, const QByteArray& answer, const char* fields) {
            QTest::newRow(tag) << answer << QString(fields);
        };
        row("lower-case digits", "RADIO ID: 1a RADIO SOFTWARE REVISION: 0f", "26 15");
        row("revision missing", "RADIO ID: 11\r\n*", "17 -");
        row("digit then junk reads the digit", "RADIO ID: 7*RADIO SOFTWARE REVISION: --", "7 0");
    }
    void radioIdFields() {
        QFETCH(QByteArray, answer);
        const RadioIdFields f = ParseRadioId(answer);
        const auto text = [](auto field) { return field ? QString::number(*field) : "-"; };
        QTEST(text(f.id) + ' ' + text(f.revision), "fields");
    }

    // The outcome is rendered as "pass|fail bytes 15..19: log lines".
    void recordsParsed_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("outcome");
        const auto row = [](const char* tag, const QByteArray& text, const QString& outcome) {
            QTest::newRow(tag) << text << outcome;
        };
        const QString eor = "GetIntelHex: found EOR", full = "pass 8F90919293: " + eor;
        const auto incomplete = [&](int n) {
            return eor + "|GetIntelHex: Incomplete data - " + QString::number(n) +
                   " of 128 bytes received";
        };
        row("no separator", FullTransfer(""), full);
        row("lower-case digits", FullTransfer("\r\n").toLower(), full);
        row("record outside the block fails",
            FullTransfer("").left(8 * 43) + ":05007C00010203040570:00000001FF",
            "fail 8F90919293: GetIntelHex: Record outside the image - count=5 addr=7C");
        row("one record missing: incomplete transfer fails",
            FullTransfer("").left(7 * 43) + ":00000001FF", "fail 8F90919293: " + incomplete(112));
        row("garbled, end record never parsed", "xx ;00000001FF:0",
            "fail AAAAAAAAAA: GetIntelHex: Garbled records - end record not reached");
        // A lone record never covers the block, so these never pass; its bytes land all the same.
        row("checksum E3: bytes stored, sum logged", ":0400100001020304E3:00000001FF",
            "fail AA01020304: GetIntelHex: Failed record checksum test - checksum= 1E addr=10");
        row("type 01 with a count is data", ":010010015A94:00000001FF",
            "fail AA5AAAAAAA: " + incomplete(1));
        row("type 01 with an address is not the end", ":00001001EF:00000001FF",
            "fail AAAAAAAAAA: " + incomplete(0));
    }
    void recordsParsed() {
        QFETCH(QByteArray, text);
        Block start;
        start.fill(0xAA);
        const IntelHexResult r = ParseIntelHex(text, start);
        const QByteArray at15(reinterpret_cast<const char*>(r.bytes.data()) + 15, 5);
        QTEST(QString(r.passfail ? "pass " : "fail ") + at15.toHex().toUpper() + ": " +
                  r.log.join('|'),
              "outcome");
        for (int i = 0; r.passfail && i < kBlockSize; ++i)
            QCOMPARE(r.bytes[i], 0x80 + i);
    }

    // Advice when the port cannot be opened, from the device node's facts (the tag): a group
    // is named only when it may read and write the node.
    void portOpenAdvice_data() {
        QTest::addColumn<QString>("advice");
        const QString only = "permission denied.\nOnly root may open it (%1, mode 0600). An "
                             "administrator can give it to a group with a udev rule (for example "
                             "GROUP=\"dialout\", MODE=\"0660\") and add your user to that group.";
        QTest::newRow("root:root 0600") << only.arg("root:root");
        QTest::newRow("root:dialout 0600") << only.arg("root:dialout");
        QTest::newRow("root:dialout 0660") << "permission denied.\nYour user must be in the group "
                                              "\"dialout\" (then log in again).";
        QTest::newRow("missing") << "no such device.\nIs the RIB plugged in?\nSerial ports on this "
                                    "computer: /dev/ttyS0, /dev/ttyUSB1.";
        QTest::newRow("in use") << "it is in use by another program.";
    }
    void portOpenAdvice() {
        const QString node = QTest::currentDataTag();
        const DeviceNode n{node != "missing",
                           node == "in use",
                           node.section(':', 0, 0),
                           node.section(':', 1).section(' ', 0, 0),
                           node.section(' ', 1).toInt(nullptr, 8),
                           {"/dev/ttyS0", "/dev/ttyUSB1"}};
        QTEST(PortOpenFailureText("/dev/ttyUSB0", n, node == "in use", "")
                  .remove("Cannot open /dev/ttyUSB0: "),
              "advice");
    }

    // Each exchange against a RIB that answers late, after some tries or never (at once: below).
    void exchange_data() {
        QTest::addColumn<QString>("command"); // as the simulator reports it
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("sends");
        QTest::addColumn<double>("factor");
        const auto row = [](const char* tag, const char* command, QStringList args, bool result,
                            int sends, double factor = 0.1) {
            QTest::newRow(tag) << QString(command) << args << result << sends << factor;
        };
        const char *wake = "<ESC>ZZZZ", *sid = "SID = 10", *cmp = "CMP F000-F800=80";
        row("RIB answers only the tenth", wake, {"--ignore", "WAKE:9"}, true, 10);
        // The 2 s wait lasts 1000 ms and the answer comes 1500 ms after each command: half a
        // second of slack either way on a loaded machine.
        row("answer after 3 s: sent twice", sid, {"--late", "SID:1500"}, true, 2, 0.5);
        row("prompt only after the fourth", sid, {"--ignore", "SID:3"}, true, 4);
        row("both <> and == is equal", cmp, {"--cmp-text", "<>=="}, true, 1);
        row("scattered = < >: no verdict, four tries", cmp, {"--cmp-text", "= < > ="}, false, 4);
    }
    void exchange() {
        QFETCH(QString, command);
        QFETCH(QStringList, args);
        QFETCH(bool, result);
        QFETCH(int, sends);
        QFETCH(double, factor);
        Rig rig(args);
        Clock clock(factor);
        RibLink link(rig.host, clock);
        QString failure;
        QVERIFY2(link.Open(rig.host.device, failure), qPrintable(failure));
        if (command.startsWith("<ESC>"))
            QCOMPARE(link.FindRIB(), result);
        else if (command.startsWith("SID"))
            QCOMPARE(link.SendCmdWaitPrompt("SID = 10\r\n"), result);
        else
            QCOMPARE(link.GetCompareResult("CMP F000-F800=80\r\n"), result);
        QTRY_COMPARE(rig.sim.Received().filter(command).size(), sends);
    }

    // A window closing in the first wait of a read ends it at once, in real time: no second
    // wake-up goes out, and there is no beep and no pause.
    void closingEndsTheWait() {
        Rig rig({"--silent", "all"});
        Clock clock;
        QTimer::singleShot(0, &clock, &Clock::Stop);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!ReadRadio(rig.host, rig.host, clock));
        QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(rig.host.statuses.join('|'), "Searching for RIB...|Cancelled: nothing was read.");
        QCOMPARE(rig.host.events.join('|'), "show|close");
        QTRY_COMPARE(rig.sim.Received(), QStringList{"<ESC>ZZZZ"});
    }

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

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
