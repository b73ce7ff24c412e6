// The pure protocol pieces: identification fields, firmware table, record writing and parsing.
#include "link/RibLink.h"
#include "link/RibProtocol.h"

#include <QTest>

using namespace ostrand;

namespace {

QByteArray Record(int address, const QByteArray& data, int checksumDelta = 0) {
    QByteArray r = ":" + QByteArray::number(data.size(), 16).rightJustified(2, '0') +
                   QByteArray::number(address, 16).rightJustified(4, '0') + "00";
    int sum = data.size() + (address >> 8) + (address & 0xFF);
    for (char c : data) {
        r += QByteArray::number(static_cast<uint8_t>(c), 16).rightJustified(2, '0');
        sum += static_cast<uint8_t>(c);
    }
    r += QByteArray::number(((256 - sum % 256) + checksumDelta) % 256, 16).rightJustified(2, '0');
    return r.toUpper();
}

// Eight full records of the bytes 0x80..0xFF, joined by `separator`, then the end record.
QByteArray FullTransfer(const QByteArray& separator) {
    QByteArray out;
    for (int a = 0; a < 128; a += 16) {
        QByteArray data;
        for (int j = 0; j < 16; ++j)
            data += static_cast<char>(0x80 + a + j);
        out += Record(a, data) + separator;
    }
    return out + ":00000001FF\r\n*";
}

} // namespace

class TestRibProtocol : public QObject {
    Q_OBJECT
private slots:
    void radioIdFields_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("id"); // -1: field missing
        QTest::addColumn<int>("revision");
        QTest::newRow("Delta-S rev 2")
            << QByteArray("\r\nRADIO ID: 10\r\nRADIO SOFTWARE REVISION: 02\r\n*") << 16 << 2;
        QTest::newRow("lower-case digits")
            << QByteArray("RADIO ID: 1a RADIO SOFTWARE REVISION: 0f") << 26 << 15;
        QTest::newRow("revision missing") << QByteArray("RADIO ID: 11\r\n*") << 17 << -1;
        QTest::newRow("id missing") << QByteArray("RADIO SOFTWARE REVISION: 01*") << -1 << 1;
        QTest::newRow("nothing") << QByteArray("*") << -1 << -1;
        QTest::newRow("digit then junk reads the digit")
            << QByteArray("RADIO ID: 7*RADIO SOFTWARE REVISION: --") << 7 << 0;
        QTest::newRow("no radio 255")
            << QByteArray("RADIO ID: FF RADIO SOFTWARE REVISION: FF") << 255 << 255;
        QTest::newRow("field cut off at the end") << QByteArray("RADIO ID: 1") << 1 << -1;
        QTest::newRow("case-sensitive key") << QByteArray("radio id: 10") << -1 << -1;
        QTest::newRow("first occurrence counts")
            << QByteArray("RADIO ID: 10 RADIO ID: 11") << 16 << -1;
    }
    void radioIdFields() {
        QFETCH(QByteArray, answer);
        QFETCH(int, id);
        QFETCH(int, revision);
        const RadioIdFields f = ParseRadioId(answer);
        QCOMPARE(f.id ? *f.id : -1, id);
        QCOMPARE(f.revision ? *f.revision : -1, revision);
    }

    void firmwareTable_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("Delta-S rev 2")
            << 16 << 2 << "Delta-S Firmware\nSoftware Revision 2" << true;
        QTest::newRow("Delta-SX rev 1")
            << 17 << 1 << "Delta-SX Firmware\nSoftware Revision 1" << true;
        QTest::newRow("Delta-S rev 3")
            << 16 << 3 << "Delta-S Firmware\nSoftware Revision 3 is unknown" << false;
        QTest::newRow("Delta-SX rev 2")
            << 17 << 2 << "Delta-SX Firmware\nSoftware Revision 2 is unknown" << false;
        QTest::newRow("CPU 18") << 18 << 1 << "Firmware ID: 18 Software Rev: 1 is unknown" << false;
        QTest::newRow("no radio 0")
            << 0 << 0 << "Firmware ID: 0 Software Rev: 0 is unknown" << false;
    }
    void firmwareTable() {
        QFETCH(int, id);
        QFETCH(int, revision);
        const FirmwareCheck check = CheckFirmware(id, revision);
        QTEST(check.text, "text");
        QTEST(check.accepted, "accepted");
    }

    void recordsWritten_data() {
        QTest::addColumn<int>("fill");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("last");
        QTest::newRow("zero block") << 0 << QByteArray(":10000000" + QByteArray(32, '0') + "F0")
                                    << QByteArray(":10007000" + QByteArray(32, '0') + "80");
        QTest::newRow("FF block, upper case")
            << 0xFF << QByteArray(":10000000" + QByteArray(32, 'F') + "00")
            << QByteArray(":10007000" + QByteArray(32, 'F') + "90");
    }
    void recordsWritten() {
        QFETCH(int, fill);
        Block block;
        block.fill(static_cast<uint8_t>(fill));
        const QList<QByteArray> fields = IntelHexFields(block);
        QCOMPARE(fields.size(), 8 * 20); // ":10", address, type, 16 bytes, checksum
        const QByteArray all = fields.join();
        QCOMPARE(all.size(), 8 * 43); // no separators between records
        QTEST(all.left(43), "first");
        QTEST(all.right(43), "last");
        // Every record adds up to zero, as a receiver checks it.
        const IntelHexResult back = ParseIntelHex(all + ":00000001FF", Block{});
        QVERIFY(back.passfail);
        QCOMPARE(back.bytes, block);
    }

    void recordsParsed_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("passfail");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("CR LF between records")
            << FullTransfer("\r\n") << true << QStringList{"GetIntelHex: found EOR"};
        QTest::newRow("no separator")
            << FullTransfer("") << true << QStringList{"GetIntelHex: found EOR"};
        QTest::newRow("command echo and noise before")
            << "IOT F800-80=0\r\n~#" + FullTransfer("\x07 ") << true
            << QStringList{"GetIntelHex: found EOR"};
        QTest::newRow("lower-case digits")
            << FullTransfer("\r\n").toLower() << true << QStringList{"GetIntelHex: found EOR"};
        QTest::newRow("record outside the block fails")
            << QByteArray(FullTransfer("").left(8 * 43) + Record(0x7C, "\1\2\3\4\5") +
                          ":00000001FF")
            << false << QStringList{"GetIntelHex: Record outside the image - count=5 addr=7C"};
        QTest::newRow("one record missing fails")
            << QByteArray(FullTransfer("").left(7 * 43) + ":00000001FF") << false
            << QStringList{"GetIntelHex: found EOR",
                           "GetIntelHex: Incomplete data - 112 of 128 bytes received"};
        QTest::newRow("only the end record fails")
            << QByteArray(":00000001FF") << false
            << QStringList{"GetIntelHex: found EOR",
                           "GetIntelHex: Incomplete data - 0 of 128 bytes received"};
        QTest::newRow("garbled, end record never parsed")
            << QByteArray("xx :00000001FF").replace(':', ';') + ":0" << false
            << QStringList{"GetIntelHex: Garbled records - end record not reached"};
    }
    void recordsParsed() {
        QFETCH(QByteArray, text);
        const IntelHexResult r = ParseIntelHex(text, Block{});
        QTEST(r.passfail, "passfail");
        QTEST(r.log, "log");
        if (r.passfail)
            for (int i = 0; i < 128; ++i)
                QCOMPARE(r.bytes[i], 0x80 + i);
    }

    void singleRecord_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("checksumOk");
        QTest::addColumn<QString>("logLine");
        QTest::newRow("checksum E2 passes")
            << QByteArray(":0400100001020304E2:00000001FF") << true << "GetIntelHex: found EOR";
        QTest::newRow("checksum E3 fails, sum logged")
            << QByteArray(":0400100001020304E3:00000001FF") << false
            << "GetIntelHex: Failed record checksum test - checksum= 1E addr=10";
    }
    void singleRecord() {
        QFETCH(QByteArray, text);
        QFETCH(bool, checksumOk);
        Block start;
        start.fill(0xAA);
        const IntelHexResult r = ParseIntelHex(text, start);
        QTEST(r.log.first(), "logLine");
        QCOMPARE(r.endReached, checksumOk);
        // The four bytes land at 16..19 in the parse's copy either way; the rest is untouched.
        for (int i = 0; i < 128; ++i)
            QCOMPARE(r.bytes[i], (i >= 16 && i < 20) ? i - 15 : 0xAA);
        // A lone record cannot cover the block, so the transfer never passes.
        QVERIFY(!r.passfail);
    }

    void endRecordRecognition_data() {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("byteAt16");
        // Type 01 with a count or an address is data, not the end.
        QTest::newRow("type 01 with count") << Record(0x10, "\x5A").replace(7, 2, "01") << 0x5A;
        QTest::newRow("type 01 with address 10, count 0") << QByteArray(":00001001EF") << 0x00;
    }
    void endRecordRecognition() {
        QFETCH(QByteArray, record);
        // Fix the checksum for the changed type byte so only the end-record rule is tested.
        int sum = 0;
        for (int i = 1; i + 2 < record.size(); i += 2)
            sum += record.mid(i, 2).toInt(nullptr, 16);
        record.chop(2);
        record += QByteArray::number((256 - sum % 256) % 256, 16).rightJustified(2, '0').toUpper();
        const IntelHexResult r = ParseIntelHex(record + ":00000001FF", Block{});
        QTEST(int(r.bytes[16]), "byteAt16");
        QCOMPARE(r.log.first(), QString("GetIntelHex: found EOR"));
        QVERIFY(r.endReached);
    }

    void portOpenFailureText_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("accessible");
        QTest::addColumn<QString>("group");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("text");
        QTest::newRow("missing device")
            << false << false << "" << false
            << "Cannot open /dev/ttyUSB0: no such device.\nIs the RIB plugged in?";
        QTest::newRow("permission denied names the owning group")
            << true << false << "dialout" << true
            << "Cannot open /dev/ttyUSB0: permission denied.\nYour user must be in the group "
               "\"dialout\" (then log in again).";
        QTest::newRow("permission denied, group unknown")
            << true << false << "" << true
            << "Cannot open /dev/ttyUSB0: permission denied.\nYour user needs read and write "
               "access to it.";
        QTest::newRow("accessible but refused: busy")
            << true << true << "dialout" << true
            << "Cannot open /dev/ttyUSB0: it is in use by another program.";
        QTest::newRow("other error passes the port's text")
            << true << true << "dialout" << false << "Cannot open /dev/ttyUSB0: Unknown error";
    }
    void portOpenFailureText() {
        QFETCH(bool, exists);
        QFETCH(bool, accessible);
        QFETCH(QString, group);
        QFETCH(bool, refused);
        QTEST(PortOpenFailureText("/dev/ttyUSB0", exists, accessible, group, refused,
                                  "Unknown error"),
              "text");
    }
};

QTEST_GUILESS_MAIN(TestRibProtocol)
#include "tst_ribprotocol.moc"
