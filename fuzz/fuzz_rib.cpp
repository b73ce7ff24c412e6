// SPDX-License-Identifier: GPL-3.0-or-later
// What the RIB sends, taken apart: the Intel HEX records of a read and the identification
// fields, on arbitrary text. A passed parse covered the whole block; the first 128 input
// bytes, sent as records with noise around them, always read back exactly.
#include "FuzzInput.h"
#include "link/RibProtocol.h"

#include <algorithm>

using namespace ostrand;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    Block start;
    start.fill(0xA5);
    const IntelHexResult r = ParseIntelHex(text, start);
    if (r.passfail && (!r.endReached || r.covered != kBlockSize))
        fuzz::Fail("parse passed without the end record or the whole block");
    if (r.covered < 0 || r.covered > kBlockSize) fuzz::Fail("coverage out of range");

    const RadioIdFields id = ParseRadioId(text);
    if (id.id && (*id.id < 0 || *id.id > 255)) fuzz::Fail("identification beyond two digits");
    if (id.revision && (*id.revision < 0 || *id.revision > 255))
        fuzz::Fail("revision beyond two digits");
    CheckFirmware(id.id.value_or(0), id.revision.value_or(0));

    // Round trip: the block as the RIB would send it, after the fuzz text as noise (with its
    // own ':' removed, so it cannot start a record of its own).
    Block block{};
    for (size_t i = 0; i < kBlockSize; ++i)
        block[i] = i < size ? data[i] : static_cast<uint8_t>(i);
    QByteArray noise = text.toByteArray();
    noise.replace(':', '.');
    QByteArray wire = noise + "\r\n";
    const QList<QByteArray> fields = IntelHexFields(block);
    if (fields.size() != 8 * 20) fuzz::Fail("not eight records of twenty fields");
    for (qsizetype i = 0; i < fields.size(); ++i) {
        wire += fields[i];
        if (i % 20 == 19) wire += "\r\n";
    }
    wire += QByteArray(rib::kEndRecord) + "\r\n*";
    const IntelHexResult back = ParseIntelHex(wire, start);
    if (!back.passfail || back.bytes != block) fuzz::Fail("sent records did not read back");
    return 0;
}
