// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/RibProtocol.h"

#include "common/Numbers.h"

#include <algorithm>
#include <bitset>

namespace ostrand {

namespace {

// A two-character field at a 0-based index; past the end of the text reads as no digit.
int HexAt(QByteArrayView text, qsizetype index, int width = 2) {
    if (index < 0 || index >= text.size()) return 0;
    return ParseHexField(
        QString::fromLatin1(text.sliced(index, std::min<qsizetype>(width, text.size() - index))),
        width);
}

QString Hex(int value) {
    return QString::number(value, 16).toUpper();
}

QByteArray Hex2(int value) {
    return QByteArray::number(value & 0xFF, 16).toUpper().rightJustified(2, '0');
}

} // namespace

RadioIdFields ParseRadioId(QByteArrayView answer) {
    RadioIdFields fields;
    // The value sits one character after the colon (normally a blank).
    const QByteArrayView idKey = "RADIO ID:";
    const QByteArrayView revKey = "RADIO SOFTWARE REVISION:";
    if (const qsizetype p = answer.indexOf(idKey); p >= 0)
        fields.id = static_cast<int16_t>(HexAt(answer, p + idKey.size() + 1));
    if (const qsizetype q = answer.indexOf(revKey); q >= 0)
        fields.revision = static_cast<int16_t>(HexAt(answer, q + revKey.size() + 1));
    return fields;
}

FirmwareCheck CheckFirmware(int16_t curRadioID, int16_t curRevision) {
    const QString rev = QString::number(curRevision);
    if (curRadioID == kDeltaS || curRadioID == kDeltaSX) {
        const bool s = curRadioID == kDeltaS;
        FirmwareCheck check;
        check.text =
            QString(s ? "Delta-S Firmware" : "Delta-SX Firmware") + "\nSoftware Revision " + rev;
        check.accepted = curRevision == (s ? 2 : 1);
        if (!check.accepted) check.text += " is unknown";
        return check;
    }
    return {"Firmware ID: " + QString::number(curRadioID) + " Software Rev: " + rev + " is unknown",
            false};
}

QList<QByteArray> IntelHexFields(const Block& block) {
    QList<QByteArray> fields;
    for (int a = 0; a < kBlockSize; a += 16) {
        fields << ":10" << QByteArray::number(a, 16).toUpper().rightJustified(4, '0') << "00";
        int sum = 16 + a;
        for (int j = 0; j < 16; ++j) {
            fields << Hex2(block[a + j]);
            sum += block[a + j];
        }
        fields << Hex2((256 - sum % 256) % 256);
    }
    return fields;
}

IntelHexResult ParseIntelHex(QByteArrayView inbuf, const Block& start) {
    IntelHexResult r;
    r.bytes = start;
    std::bitset<kBlockSize> covered;
    qsizetype p = inbuf.indexOf(':');
    while (p >= 0) {
        const int n = HexAt(inbuf, p + 1);
        const int a = HexAt(inbuf, p + 3, 4);
        const int t = HexAt(inbuf, p + 7);
        if (t == 1 && n == 0 && a == 0) {
            r.log << "GetIntelHex: found EOR";
            r.endReached = true;
            r.covered = static_cast<int>(covered.count());
            r.passfail = covered.all();
            if (!r.passfail)
                r.log << QString("GetIntelHex: Incomplete data - %1 of %2 bytes received")
                             .arg(r.covered)
                             .arg(kBlockSize);
            return r;
        }
        // Anything else is data, whatever its type; it must lie inside the block.
        if (a + n > kBlockSize) {
            r.log << "GetIntelHex: Record outside the image - count=" + Hex(n) + " addr=" + Hex(a);
            return r;
        }
        int sum = n + a + t;
        for (int j = 0; j < n; ++j) {
            const int byte = HexAt(inbuf, p + 9 + 2 * j);
            sum += byte;
            r.bytes[a + j] = static_cast<uint8_t>(byte);
            covered.set(a + j);
        }
        const int c = HexAt(inbuf, p + 9 + 2 * n);
        if (c != (256 - sum % 256) % 256) {
            r.log << "GetIntelHex: Failed record checksum test - checksum= " + Hex(sum) +
                         " addr=" + Hex(a);
            return r;
        }
        p = inbuf.indexOf(':', p + 9 + 2 * n);
    }
    r.log << "GetIntelHex: Garbled records - end record not reached";
    return r;
}

} // namespace ostrand
