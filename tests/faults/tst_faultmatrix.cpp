// Every fault the RIB or the line can produce, for both radio operations: the operator sees
// the failure text of the step that failed, the operation ends idle (status closed, both
// buttons back, port released), a failed read leaves the image as it was, and the radio holds
// either its old personality or exactly the new one.
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

using namespace ostrand;

namespace {

enum class Op { Read, Write };
// What the radio holds after a write: untouched, or exactly the image sent.
enum class Radio { Old, New };

// The fixed pauses of an operation that ends with this status.
int Pauses(bool ok, const QString& lastStatus) {
    if (ok) return 400 + 1000;
    const bool beforeDelay = lastStatus == "RIB not found" || lastStatus == "Bad Radio ID" ||
                             lastStatus.endsWith(" is unknown");
    return (beforeDelay ? 0 : 400) + 3000;
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
        QTest::addColumn<bool>("slow"); // a tenth instead of a twentieth
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("lastStatus");
        QTest::addColumn<QString>("lastSent"); // nothing is sent after this
        QTest::addColumn<Radio>("radio");
        // Real milliseconds the operation must at least take: the waits that time out, plus
        // the fixed pauses (400 ms after identification, 1 s after success, 3 s after failure).
        QTest::addColumn<int>("minRealMs");

        const auto read = [](const char* tag, QStringList args, bool ok, QString status,
                             QString lastSent, int timedOut = 0, bool slow = false) {
            QTest::newRow(QByteArray("read: ") + tag)
                << Op::Read << args << slow << ok << status << lastSent << Radio::Old
                << timedOut + Pauses(ok, status);
        };
        const auto write = [](const char* tag, QStringList args, bool ok, QString status,
                              QString lastSent, Radio radio, int timedOut = 0, bool slow = false) {
            QTest::newRow(QByteArray("write: ") + tag)
                << Op::Write << args << slow << ok << status << lastSent << radio
                << timedOut + Pauses(ok, status);
        };
        const QString wake = "<ESC>ZZZZ", gid = "GID 2 = 0", sid = "SID = 10", rrd = "RRD 7F-2=0",
                      iot = "IOT F800-80=0", wrd = "WRD 7F-2=0", cmp = "CMP F000-F800=80",
                      records = ":10";

        // Silence at each step.
        write("no RIB", {"--silent", "all"}, false, "RIB not found", wake, Radio::Old, 10000);
        write("identification unanswered", {"--silent", "GID"}, false, "Bad Radio ID", gid,
              Radio::Old, 8000);
        read("RRD unanswered", {"--silent", "RRD"}, false, "Failed while sending RRD", rrd, 8000);
        read("records unanswered", {"--silent", "IOT"}, false, "Failed while reading Data", iot,
             10000);
        write("records unanswered", {"--silent", "DATA"}, false, "Failed while Writing Data",
              records, Radio::Old, 1000);
        write("SID unanswered", {"--silent", "SID"}, false, "Failed while sending SID", sid,
              Radio::Old, 8000);
        write("WRD unanswered", {"--silent", "WRD"}, false, "Failed while sending WRD", wrd,
              Radio::Old, 8000);
        write("compare unanswered", {"--silent", "CMP"}, false, "Verify failed", cmp, Radio::New,
              8000);

        // An answer without the prompt counts as silence, though the radio was written.
        write("WRD answered without prompt", {"--no-prompt", "WRD"}, false,
              "Failed while sending WRD", wrd, Radio::New, 8000);

        // Late answers: after every try has timed out they are failures; within the wait
        // they are no fault at all.
        read("records late but in time", {"--late", "IOT:250"}, true, "Done", iot, 0, true);
        write("records acknowledged too late", {"--late", "DATA:5000"}, false,
              "Failed while Writing Data", records, Radio::Old, 1000);
        write("records acknowledged late but in time", {"--late", "DATA:80"}, true, "Verify OK!",
              cmp, Radio::New, 0, true);

        // Damaged records; the intact ones before the damage must not reach the image either.
        read("bad checksum, last record", {"--bad-checksum", "7"}, false,
             "Failed while reading Data", iot);
        read("missing first record", {"--missing-record", "0"}, false, "Failed while reading Data",
             iot);

        // Extra text the program must see through.
        read("echo and garbage around every answer", {"--echo", "--noise"}, true, "Done", iot);
        write("echo and garbage around every answer", {"--echo", "--noise"}, true, "Verify OK!",
              cmp, Radio::New);
        read("one character per receive event", {"--char-delay", "1"}, true, "Done", iot, 0, true);

        // The line drops mid-transfer.
        read("hang-up inside the records", {"--hangup-after", "150"}, false,
             "Failed while reading Data", iot, 10000);
        write("hang-up as the records arrive", {"--hangup-on", "DATA"}, false,
              "Failed while Writing Data", records, Radio::Old, 1000);
        write("hang-up at the compare", {"--hangup-on", "CMP"}, false, "Verify failed", cmp,
              Radio::New, 8000);

        // Identification and firmware.
        read("no radio behind the RIB (ID FF)", {"--cpu", "0xFF"}, false, "Bad Radio ID", gid);
        read("identification without fields", {"--gid-text", "ERROR"}, false, "Bad Radio ID", gid);
        read("unknown CPU", {"--cpu", "18", "--revision", "1"}, false,
             "Firmware ID: 18 Software Rev: 1 is unknown", gid);
        read("Delta-S unknown revision", {"--cpu", "0x10", "--revision", "3"}, false,
             "Delta-S Firmware\nSoftware Revision 3 is unknown", gid);
        write("Delta-SX unknown revision", {"--revision", "2"}, false,
              "Delta-SX Firmware\nSoftware Revision 2 is unknown", gid, Radio::Old);
    }

    void operationUnderFault() {
        QFETCH(Op, op);
        QFETCH(QStringList, args);
        QFETCH(bool, slow);
        QFETCH(bool, ok);
        QFETCH(QString, lastSent);
        QFETCH(Radio, radio);

        const Block inRadio = Pattern(1);
        const Block edited = Pattern(7);
        const QString tag =
            QString(QTest::currentDataTag()).replace(QRegularExpression("\\W"), "_");
        const QString saved = dir_.filePath(tag + ".saved");
        QFile::remove(saved);
        RibSimProcess sim(args + QStringList{"--load",
                                             WriteRadioFile(dir_.filePath(tag + ".radio"), inRadio),
                                             "--save", saved});
        QVERIFY(!sim.Device().isEmpty());

        RecordingHost host;
        host.device = sim.Device();
        host.radioId = 17; // the image is encoded for the simulated radio's CPU
        host.revision = 1;
        host.image.fill(0x5C);
        std::copy(edited.begin(), edited.end(), host.image.begin());
        const EEImage before = host.image;

        const LinkTiming& timing = slow ? kTenth : kFast;
        QElapsedTimer clock;
        clock.start();
        const bool result = op == Op::Read ? ReadRadio(host, timing) : WriteRadio(host, timing);
        const qint64 elapsed = clock.elapsed();
        QCOMPARE(result, ok);
        // Timers may fire a little early; no wait or pause may be skipped.
        QFETCH(int, minRealMs);
        QVERIFY2(elapsed >= 0.9 * minRealMs * timing.factor,
                 qPrintable(QString("%1 ms, expected at least %2 ms")
                                .arg(elapsed)
                                .arg(minRealMs * timing.factor)));
        QVERIFY(!host.statuses.isEmpty());
        QCOMPARE(host.statuses.first(), QString("Searching for RIB..."));
        QTEST(host.statuses.last(), "lastStatus");
        QCOMPARE(host.beeps, ok ? 0 : 1);

        // Idle again: status closed, then (read) the grid redecoded, then both buttons.
        QVERIFY(!host.statusShown);
        QVERIFY(host.readEnabled);
        QVERIFY(host.writeEnabled);
        const QStringList tail = op == Op::Read
                                     ? QStringList{"close", "decode", "read on", "write on"}
                                     : QStringList{"close", "write on", "read on"};
        QCOMPARE(host.events.mid(host.events.size() - tail.size()), tail);
        QCOMPARE(host.logLines.last(),
                 QString(op == Op::Read ? "cmdRead: Exiting" : "Write: PortOpen=False"));

        // The image: a read takes the radio's block only when it succeeded; a write never
        // changes it here (the grid encode is the host's).
        EEImage expected = before;
        if (op == Op::Read && ok) std::copy(inRadio.begin(), inRadio.end(), expected.begin());
        QCOMPARE(host.image, expected);

        // Nothing goes out after the step that failed.
        const QStringList received = sim.Received();
        QVERIFY(!received.isEmpty());
        QVERIFY2(received.last().startsWith(lastSent), qPrintable(received.last()));

        // The port is released: it opens at once. Not after a hang-up: the device is then
        // going away under the test and may vanish between the look and the open.
        const bool hungUp = args.join(' ').contains(QLatin1String("--hangup"));
        if (!hungUp) {
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
        QFETCH(QString, reason);
        RibSimProcess sim({});
        QSerialPort holder;
        if (device == "busy") {
            device = sim.Device();
            holder.setPortName(device);
            QVERIFY(holder.open(QIODevice::ReadWrite));
        }
        RecordingHost host;
        host.device = device;
        host.image.fill(0x33);
        const EEImage before = host.image;
        QVERIFY(!(op == Op::Read ? ReadRadio(host, kFast) : WriteRadio(host, kFast)));
        QCOMPARE(host.statuses.size(), 1);
        QVERIFY2(host.statuses.first().contains(reason), qPrintable(host.statuses.first()));
        QCOMPARE(host.beeps, 1);
        QVERIFY(!host.statusShown);
        QVERIFY(host.readEnabled);
        QVERIFY(host.writeEnabled);
        QCOMPARE(host.image, before);
        QCOMPARE(host.identitySets, 0);
        QCOMPARE(sim.Received(), QStringList{}); // nothing was sent
    }
};

QTEST_GUILESS_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
