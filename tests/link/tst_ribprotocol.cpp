// The pure protocol pieces: identification fields, record writing and parsing, port texts.
#include "link/RibLink.h"
#include "link/RibProtocol.h"

#include <QTest>
#include <numeric>

using namespace ostrand;

namespace {

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

} // namespace

class TestRibProtocol : public QObject {
    Q_OBJECT
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
        row("case-sensitive key", "radio id: 10", "- -");
    }
    void radioIdFields() {
        QFETCH(QByteArray, answer);
        const RadioIdFields f = ParseRadioId(answer);
        const auto text = [](auto field) { return field ? QString::number(*field) : "-"; };
        QTEST(text(f.id) + ' ' + text(f.revision), "fields");
    }

    void recordsWritten_data() {
        QTest::addColumn<int>("fill");
        QTest::addColumn<QByteArray>("ends"); // the first and the last record
        const QByteArray zeros(32, '0'), effs(32, 'F');
        QTest::newRow("zero block") << 0 << ":10000000" + zeros + "F0:10007000" + zeros + "80";
        QTest::newRow("FF block, upper case")
            << 0xFF << ":10000000" + effs + "00:10007000" + effs + "90";
    }
    void recordsWritten() {
        QFETCH(int, fill);
        Block block;
        block.fill(static_cast<uint8_t>(fill));
        const QByteArray all = IntelHexFields(block).join();
        QCOMPARE(all.size(), 8 * 43); // no separators between records
        QTEST(all.left(43) + all.right(43), "ends");
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
        row("checksum E2: bytes stored, EOR found", ":0400100001020304E2:00000001FF",
            "fail AA01020304: " + incomplete(4));
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
};

QTEST_GUILESS_MAIN(TestRibProtocol)
#include "tst_ribprotocol.moc"
