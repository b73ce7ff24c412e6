// One 8-byte channel record <-> one grid row.
#pragma once

#include "image/ChannelRow.h"
#include "image/EEImage.h"

#include <QStringList>

namespace ostrand {

ChannelRow EEDecode(const EEImage& image, int EEindex, const CodecContext& ctx);
void EEEncode(EEImage& image, int EEindex, const ChannelRow& row, const CodecContext& ctx);

// All 16 rows, channel 1 first.
std::vector<ChannelRow> DecodeAll(const EEImage& image, const CodecContext& ctx);
void EncodeAll(EEImage& image, const std::vector<ChannelRow>& rows, const CodecContext& ctx);

// CPU-dependent texts: the CPU label and the CCT timer list ("Off", then timed items).
QString CpuLabelText(int16_t curRadioID, int16_t curRevision);
QStringList CctItems(int16_t curRadioID);

} // namespace ostrand
