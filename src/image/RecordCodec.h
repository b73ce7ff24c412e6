// SPDX-License-Identifier: GPL-3.0-or-later
// One 8-byte channel record <-> one grid row.
#pragma once

#include "image/ChannelRow.h"
#include "image/EEImage.h"

#include <QStringList>
#include <vector>

namespace ostrand {

// A record starts at a multiple of 8 from 0 to 120; anything else is no record.
constexpr bool IsRecordIndex(int EEindex) {
    return EEindex >= 0 && EEindex <= kBlockSize - 8 && EEindex % 8 == 0;
}

// The divider of one half for reference code k (0..7; anything else is 0, no reference).
int16_t HalfDivider(int k, bool transmit, const DividerTable& t);

// Decodes the record at EEindex. For an EEindex that is no record: an empty row (nothing read).
ChannelRow EEDecode(const EEImage& image, int EEindex, const CodecContext& ctx);
// Rebuilds the record at EEindex from scratch; nothing else in the image changes. An EEindex
// that is no record leaves the image untouched.
void EEEncode(EEImage& image, int EEindex, const ChannelRow& row, const CodecContext& ctx);

// All 16 rows, channel 1 first. EncodeAll encodes as many rows as it is given (at most 16).
std::vector<ChannelRow> DecodeAll(const EEImage& image, const CodecContext& ctx);
void EncodeAll(EEImage& image, const std::vector<ChannelRow>& rows, const CodecContext& ctx);

// CPU-dependent texts: the CPU label and the CCT timer list ("Off", then timed items).
QString CpuLabelText(int16_t curRadioID, int16_t curRevision);
QStringList CctItems(int16_t curRadioID);

} // namespace ostrand
