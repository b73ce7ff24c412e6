// SPDX-License-Identifier: GPL-3.0-or-later
// DCG codes: (23,12) Golay code words, their rotations, and the searches that pick the
// 8-bit value the radio stores and the listed (common) code the window shows.
#pragma once

#include <cstdint>
#include <span>

namespace ostrand {

int32_t DCGCalcCodeWord(int32_t i);
int32_t DCGShiftLeft(int32_t dat);
bool DCGIsCodeValid(int32_t dat);
// table: the standard codes in list order (entry 1 first); only their low 9 bits count.
bool DCGIsCodeInTable(int32_t dat, std::span<const int16_t> table);
// The stored value 0..254 for a code, or 256 when none of its family can be stored.
int32_t DCGFindEightBitCode(int32_t dat, bool inverted);
// The 9-bit code to show for a code or a stored value.
int32_t DCGFindCommonCode(int32_t dat, bool inverted, std::span<const int16_t> table);

} // namespace ostrand
