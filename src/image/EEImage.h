// SPDX-License-Identifier: GPL-3.0-or-later
// The personality image: 257 bytes, of which 0..127 are the radio's 16 eight-byte records.
#pragma once

#include <array>
#include <cstdint>

namespace ostrand {

constexpr int kImageSize = 257;
constexpr int kBlockSize = 128;
constexpr int kChannels = 16;

using EEImage = std::array<uint8_t, kImageSize>;

// Record offset of channel ch (1..16): 112, 104, ..., 0 for channels 1..15, 120 for 16.
constexpr int EEindexForChannel(int ch) {
    return ((~ch) & 15) * 8;
}

constexpr int16_t kDeltaS = 16;
constexpr int16_t kDeltaSX = 17;
// Only 16 selects the Delta-S record layout; every other CPU id reads as Delta-SX.
constexpr bool IsDeltaS(int16_t curRadioID) {
    return curRadioID == kDeltaS;
}

} // namespace ostrand
