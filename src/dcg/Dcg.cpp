// SPDX-License-Identifier: GPL-3.0-or-later
#include "dcg/Dcg.h"

#include <array>

namespace ostrand {
namespace {

constexpr int32_t kWordMask = 0x7FFFFF;
constexpr int32_t kCodeMask = 0x1FF;
constexpr int kRotations = 23;

// Parity counters (1..11) that each code bit (0..8) feeds; shorter rows are padded with 0.
constexpr std::array<std::array<int, 8>, 9> kCountersOfBit{{
    {1, 3, 5, 6, 7, 11},
    {1, 2, 3, 4, 5, 8, 11},
    {1, 2, 4, 7, 9, 11},
    {1, 2, 6, 7, 8, 10, 11},
    {1, 2, 5, 6, 8, 9},
    {2, 3, 6, 7, 9, 10},
    {3, 4, 7, 8, 10, 11},
    {1, 3, 4, 6, 7, 8, 9},
    {2, 4, 5, 7, 8, 9, 10},
}};

// Parity bits to which the fixed marker bit 11 contributes: set on an even count.
constexpr std::array<bool, 12> kSetWhenEven{false, false, true,  false, true, true,
                                            true,  false, false, false, true, true};

// Stored values 3..10 name these codes (their bit 8 is set).
constexpr std::array<int32_t, 8> kAliasCodes{0446, 0447, 0452, 0454, 0455, 0462, 0523, 0526};
constexpr int32_t kFirstAlias = 3;
constexpr int32_t kLastAlias = 10;

int32_t InvertWord(int32_t word) {
    return (word ^ kWordMask) & kWordMask;
}

int32_t StartWord(int32_t code, bool inverted) {
    const int32_t word = DCGCalcCodeWord(code);
    return inverted ? InvertWord(word) : word;
}

} // namespace

int32_t DCGCalcCodeWord(int32_t i) {
    std::array<int, 12> counters{};
    for (int bit = 0; bit <= 8; ++bit) {
        if ((i >> bit) & 1) {
            for (int k : kCountersOfBit[size_t(bit)]) {
                if (k != 0) ++counters[size_t(k)];
            }
        }
    }
    int32_t word = (i & kCodeMask) | 0x800;
    for (int k = 1; k <= 11; ++k) {
        const bool odd = counters[size_t(k)] & 1;
        if (odd != kSetWhenEven[size_t(k)]) word |= int32_t(1) << (11 + k);
    }
    return word;
}

int32_t DCGShiftLeft(int32_t dat) {
    // Unsigned arithmetic: doubling any int32 wraps instead of overflowing.
    uint32_t doubled = uint32_t(dat) << 1;
    if (doubled & 0x800000u) doubled = (doubled & 0x7FFFFEu) | 1u;
    return int32_t(doubled);
}

bool DCGIsCodeValid(int32_t dat) {
    return ((dat ^ DCGCalcCodeWord(dat)) & 0x7FFE00) == 0;
}

bool DCGIsCodeInTable(int32_t dat, std::span<const int16_t> table) {
    for (int16_t entry : table) {
        if ((int32_t(entry) & kCodeMask) == (dat & kCodeMask)) return true;
    }
    return false;
}

int32_t DCGFindEightBitCode(int32_t dat, bool inverted) {
    int32_t word = StartWord(dat, inverted);
    int32_t best = 255;
    for (int pass = 0; pass < kRotations; ++pass) {
        if (DCGIsCodeValid(word)) {
            if (word & 0x100) {
                // An alias takes the place of whatever was found before it.
                for (int32_t v = kFirstAlias; v <= kLastAlias; ++v) {
                    if (kAliasCodes[size_t(v - kFirstAlias)] == (word & kCodeMask)) best = v;
                }
            } else if ((word & 0xFF) < best) {
                best = word & 0xFF;
            }
        }
        word = DCGShiftLeft(word);
    }
    return best == 255 ? 256 : best;
}

int32_t DCGFindCommonCode(int32_t dat, bool inverted, std::span<const int16_t> table) {
    const int32_t c = dat & kCodeMask;
    const int32_t start =
        (c >= kFirstAlias && c <= kLastAlias) ? kAliasCodes[size_t(c - kFirstAlias)] : dat;
    int32_t word = StartWord(start, inverted);
    for (int pass = 0; pass < kRotations; ++pass) {
        if (DCGIsCodeValid(word) && DCGIsCodeInTable(word, table)) return word & kCodeMask;
        word = DCGShiftLeft(word);
    }
    // 23 rotations bring the word back to where it started.
    return word & kCodeMask;
}

} // namespace ostrand
