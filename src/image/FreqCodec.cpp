// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/FreqCodec.h"

#include <cmath>
#include <limits>

namespace ostrand {
namespace {

// A half is three synthesizer bytes; all of them must lie inside the personality block.
bool HalfInBlock(int EEindex) {
    return EEindex >= 0 && EEindex + 2 < kBlockSize;
}

} // namespace

float EEDecodeFreq(const EEImage& image, int EEindex, int16_t div, double refFreq,
                   int16_t curRadioID) {
    if (!HalfInBlock(EEindex) || div == 0) return 0.0f;
    const int h0 = image[size_t(EEindex)];
    const int h1 = image[size_t(EEindex) + 1];
    const int h2 = image[size_t(EEindex) + 2];

    const int N = ((h0 >> 3) & 1) * 512 + (h1 & 0x0F) * 32 + (h1 >> 4) * 2 + ((h2 >> 3) & 1);
    const int aHigh = IsDeltaS(curRadioID) ? (h2 & 0x07) : (h2 & 0x03);
    const int A = aHigh * 16 + (h2 >> 4);

    // Patterns the radio reads as "no frequency"; the reference is not consulted for them.
    if ((N == 1 && A == 48) || (N == 1023 && A == 63)) return 0.0f;

    const double step = refFreq / double(div);
    const double freq = step * double(64 * N + A);
    // A float cannot hold it (absurd reference text): say so with an infinity, which every
    // caller formats as an empty field, instead of an undefined conversion.
    if (std::fabs(freq) > double(std::numeric_limits<float>::max()))
        return std::copysign(std::numeric_limits<float>::infinity(), float(step));
    return float(freq);
}

void EEEncodeFreq(float freq, int16_t div, double refFreq, int16_t& N, int16_t& A) {
    N = 0;
    A = 0;
    // Written so that a NaN falls out as well.
    if (!(freq >= 0.0f && freq <= 999.0f)) return;
    if (div == 0) return;
    const double step = refFreq / double(div);
    if (!std::isfinite(step) || step <= 0.0) return;

    const double quotient = std::nearbyint(double(freq) / step); // ties to even
    if (!(quotient <= double(std::numeric_limits<int32_t>::max()))) return;
    const int32_t total = int32_t(quotient);
    const int32_t n = total / 64; // total >= 0, so this is the floor
    N = int16_t(uint16_t(uint32_t(n) & 0xFFFF));
    A = int16_t(total - 64 * n);
}

void WriteSynthWord(EEImage& image, int EEindex, int N, int A) {
    if (!HalfInBlock(EEindex)) return;
    uint8_t& h0 = image[size_t(EEindex)];
    uint8_t& h1 = image[size_t(EEindex) + 1];
    uint8_t& h2 = image[size_t(EEindex) + 2];
    h0 = uint8_t((h0 & ~0x08) | ((N & 0x200) ? 0x08 : 0));
    h1 = uint8_t((N & 0x1E) * 8 + (N & 0x1E0) / 32);
    h2 = uint8_t((h2 & 0x04) | (A & 0x0F) * 16 | (N & 1) * 8 | (A & 0x30) / 16);
}

} // namespace ostrand
