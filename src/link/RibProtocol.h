// SPDX-License-Identifier: GPL-3.0-or-later
// The pure side of the RIB protocol: command texts, the identification fields, the firmware
// table and the Intel HEX records. No port, no timer, so all of it is unit tested directly.
#pragma once

#include "image/EEImage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

namespace ostrand {

namespace rib {
inline constexpr char kWakeUp[] = "\x1BZZZZ\r\n";
inline constexpr char kGid[] = "GID 2 = 0\r\n";
inline constexpr char kSid[] = "SID = 10\r\n";
inline constexpr char kRrd[] = "RRD 7F-2=0\r\n";
inline constexpr char kWrd[] = "WRD 7F-2=0\r\n";
inline constexpr char kIot[] = "IOT F800-80=0\r\n";
inline constexpr char kIit[] = "IIT =F000\r\n";
inline constexpr char kCmp[] = "CMP F000-F800=80\r\n";
inline constexpr char kEndRecord[] = ":00000001FF";
} // namespace rib

// The "RADIO ID:" and "RADIO SOFTWARE REVISION:" fields of an identification answer; a field
// that is not in the text is nothing.
struct RadioIdFields {
    std::optional<int16_t> id;
    std::optional<int16_t> revision;
};
RadioIdFields ParseRadioId(QByteArrayView answer);

// The status text after identification and whether that firmware may be programmed.
struct FirmwareCheck {
    QString text;
    bool accepted = false;
};
FirmwareCheck CheckFirmware(int16_t curRadioID, int16_t curRevision);

using Block = std::array<uint8_t, kBlockSize>;

// The eight data records of the block, one list entry per field as they go to the port
// (":10", address, "00", 16 data bytes, checksum), upper-case hex, no separators.
QList<QByteArray> IntelHexFields(const Block& block);

// The parse of everything received for a read: from the first ":" up to the end record.
// passfail only when the end record was reached, every record passed its checksum, every
// record lay inside the block and the records covered all 128 bytes.
struct IntelHexResult {
    bool passfail = false;
    bool endReached = false; // the end record was parsed
    int covered = 0;         // distinct block bytes the data records set
    Block bytes{};
    QStringList log; // the lines to log, in order
};
IntelHexResult ParseIntelHex(QByteArrayView inbuf, const Block& start);

} // namespace ostrand
