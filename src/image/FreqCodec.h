// Synthesizer words (N, A) and the frequencies they stand for.
#pragma once

#include "image/EEImage.h"

#include <QString>
#include <cstdint>

namespace ostrand {

// Synthesizer frequency in MHz of the half at EEindex (0 for no frequency). refFreq is the
// txtRefFreq text, read leniently. Never reads outside the image (EEindex is masked/checked).
float EEDecodeFreq(const EEImage& image, int EEindex, int16_t div, const QString& refFreq,
                   int16_t curRadioID);

// Counter pair for a synthesizer frequency. Outside 0..999 MHz (NaN included), a step of 0
// or a divider of 0: N = A = 0.
void EEEncodeFreq(float freq, int16_t div, const QString& refFreq, int16_t& N, int16_t& A);

// Writes N and A into the half at EEindex (bits not named stay as they are; see the layout).
void WriteSynthWord(EEImage& image, int EEindex, int N, int A);

} // namespace ostrand
