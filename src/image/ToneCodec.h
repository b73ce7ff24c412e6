// SPDX-License-Identifier: GPL-3.0-or-later
// Tone settings of a record half: none, a CG tone in Hz or a DCG code.
#pragma once

#include "image/ChannelRow.h"
#include "image/EEImage.h"

#include <QString>

namespace ostrand {

double CTCSSToneCalc(int16_t mult, int16_t adder);

// EEindex: a multiple of 8 is a receive half, anything else a transmit half.
QString EEDecodeTone(const EEImage& image, int EEindex, const CodecContext& ctx);
void eeEncodeTone(EEImage& image, int EEindex, const QString& text, const CodecContext& ctx);

// Tone entry on leaving a tone field: normalise a DCG entry to its common code (never
// inverting), encode into the image, and return the decoder's text for the field.
QString ToneEntry(EEImage& image, int EEindex, const QString& typed, const CodecContext& ctx);

} // namespace ostrand
