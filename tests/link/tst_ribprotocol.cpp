// The pure protocol pieces: identification fields, record writing and parsing, port texts.
#include "link/RibLink.h"
#include "link/RibProtocol.h"

#include <QTest>
#include <numeric>

using namespace ostrand;

namespace {

// The eight records of the bytes 0x80..0xFF, joined by `separator`, then the end record.
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
        QTest::addColumn<int>("id"); // -1: field missing
        QTest::addColumn<int>("revision");
        QTest::newRow("lower-case digits")
            << QByteArray("RADIO ID: 1a RADIO SOFTWARE REVISION: 0f") << 26 << 15;
        QTest::newRow("revision missing") << QByteArray("RADIO ID: 11\r\n*") << 17 << -1;
        QTest::newRow("digit then junk reads the digit")
            << QByteArray("RADIO ID: 7*RADIO SOFTWARE REVISION: --") << 7 << 0;
        QTest::newRow("case-sensitive key") << QByteArray("radio id: 10") << -1 << -1;
    }
    void radioIdFields() {
        QFETCH(QByteArray, answer);
        const RadioIdFields f = ParseRadioId(answer);
        QTEST(f.id ? int(*f.id) : -1, "id");
        QTEST(f.revision ? int(*f.revision) : -1, "revision");
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
        const QByteArray all = IntelHexFields(block).join();
        QCOMPARE(all.size(), 8 * 43); // no separators between records
        QTEST(all.left(43), "first");
        QTEST(all.right(43), "last");
    }

    void recordsParsed_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("passfail");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("stored"); // hex of bytes 16..19 after the parse
        const QStringList eor{"GetIntelHex: found EOR"};
        QTest::newRow("no separator") << FullTransfer("") << true << eor << "";
        QTest::newRow("command echo and noise before")
            << "IOT F800-80=0\r\n~#" + FullTransfer("\x07 ") << true << eor << "";
        QTest::newRow("lower-case digits") << FullTransfer("\r\n").toLower() << true << eor << "";
        QTest::newRow("record outside the block fails")
            << QByteArray(FullTransfer("").left(8 * 43) + ":05007C00010203040570:00000001FF")
            << false << QStringList{"GetIntelHex: Record outside the image - count=5 addr=7C"}
            << "";
        QTest::newRow("one record missing: incomplete transfer fails")
            << QByteArray(FullTransfer("").left(7 * 43) + ":00000001FF") << false
            << QStringList{"GetIntelHex: found EOR",
                           "GetIntelHex: Incomplete data - 112 of 128 bytes received"}
            << "";
        QTest::newRow("garbled, end record never parsed")
            << QByteArray("xx ;00000001FF:0") << false
            << QStringList{"GetIntelHex: Garbled records - end record not reached"} << "AAAAAAAA";
        // A lone record never covers the block, so these never pass; its bytes land all the same.
        QTest::newRow("checksum E2: bytes stored, EOR found")
            << QByteArray(":0400100001020304E2:00000001FF") << false
            << QStringList{"GetIntelHex: found EOR",
                           "GetIntelHex: Incomplete data - 4 of 128 bytes received"}
            << "01020304";
        QTest::newRow("checksum E3: bytes stored, sum logged")
            << QByteArray(":0400100001020304E3:00000001FF") << false
            << QStringList{"GetIntelHex: Failed record checksum test - checksum= 1E addr=10"}
            << "01020304";
        QTest::newRow("type 01 with a count is data")
            << QByteArray(":010010015A94:00000001FF") << false
            << QStringList{"GetIntelHex: found EOR",
                           "GetIntelHex: Incomplete data - 1 of 128 bytes received"}
            << "5AAAAAAA";
        QTest::newRow("type 01 with an address is not the end")
            << QByteArray(":00001001EF:00000001FF") << false
            << QStringList{"GetIntelHex: found EOR",
                           "GetIntelHex: Incomplete data - 0 of 128 bytes received"}
            << "AAAAAAAA";
    }
    void recordsParsed() {
        QFETCH(QByteArray, text);
        QFETCH(QString, stored);
        Block start;
        start.fill(0xAA);
        const IntelHexResult r = ParseIntelHex(text, start);
        QTEST(r.passfail, "passfail");
        QTEST(r.log, "log");
        if (r.passfail)
            for (int i = 0; i < 128; ++i)
                QCOMPARE(r.bytes[i], 0x80 + i);
        if (!stored.isEmpty()) {
            const auto* at16 = reinterpret_cast<const char*>(r.bytes.data()) + 16;
            QCOMPARE(QString::fromLatin1(QByteArray(at16, 4).toHex().toUpper()), stored);
            QCOMPARE(r.bytes[15], 0xAA); // nothing outside the record moves
        }
    }

    void portOpenFailureText_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("accessible");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("text");
        QTest::newRow("missing device")
            << false << false << ""
            << "Cannot open /dev/ttyUSB0: no such device.\nIs the RIB plugged in?";
        QTest::newRow("permission denied names the owning group")
            << true << false << "dialout"
            << "Cannot open /dev/ttyUSB0: permission denied.\nYour user must be in the group "
               "\"dialout\" (then log in again).";
        QTest::newRow("accessible but refused: busy")
            << true << true << "dialout"
            << "Cannot open /dev/ttyUSB0: it is in use by another program.";
    }
    void portOpenFailureText() {
        QFETCH(bool, exists);
        QFETCH(bool, accessible);
        QFETCH(QString, group);
        QTEST(PortOpenFailureText("/dev/ttyUSB0", exists, accessible, group, true, "Unknown error"),
              "text");
    }
};

QTEST_GUILESS_MAIN(TestRibProtocol)
#include "tst_ribprotocol.moc"
