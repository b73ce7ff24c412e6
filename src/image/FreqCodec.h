// SPDX-License-Identifier: GPL-3.0-or-later
// Synthesizer words (N, A) and the frequencies they stand for.
#pragma once

#include "image/EEImage.h"

#include <cstdint>

namespace ostrand {

// Synthesizer frequency in MHz of the half at EEindex (0 for no frequency), under the reference
// frequency refFreq (MHz). A divider of 0, or a half that does not lie wholly inside the
// 128-byte block, gives 0 without reading anything.
float EEDecodeFreq(const EEImage& image, int EEindex, int16_t div, double refFreq,
                   int16_t curRadioID);

// Counter pair for a synthesizer frequency. Outside 0..999 MHz (NaN included), a divider of
// 0, a step that is not a positive finite number, or a total division beyond the 32-bit
// range: N = A = 0 (no frequency). N above the 16-bit range keeps its low 16 bits; a record
// stores only bits 0..9 anyway.
void EEEncodeFreq(float freq, int16_t div, double refFreq, int16_t& N, int16_t& A);

// Writes N and A into the half at EEindex: h0 bit 3, all of h1, h2 bits 7..3 and 1..0.
// Every other bit (tone flags, h2 bit 2) stays as it is. Bits of N above 9 and of A above 5
// are dropped. Does nothing for a half outside the block.
void WriteSynthWord(EEImage& image, int EEindex, int N, int A);

} // namespace ostrand
