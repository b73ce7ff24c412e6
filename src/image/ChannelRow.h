// SPDX-License-Identifier: GPL-3.0-or-later
// One channel row of the grid as plain values, and the context the codec reads.
#pragma once

#include "config/Configuration.h"
#include "image/RadioValues.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace ostrand {

// What the window shows in one row. Positions are list indexes (-1: no selection).
struct ChannelRow {
    QString TxFreq{};
    QString RxFreq{};
    int RefIndex = 0;
    QString TxTone{};
    QString RxTone{};
    bool STE = false;
    int CCT = 0;
    // A timer code the CCT list cannot show (an unknown CPU offers "Off" only): decoding keeps
    // it here while CCT shows "Off", and encoding stores it again; -1 when there is none.
    int KeptCCT = -1;
    bool TxW = false;
    bool TxZ = false;
    bool RxW = false;
    bool RxZ = false;
    bool WZEnabled = true; // the Delta-S layout has no W/Z bits: boxes cleared and disabled

    bool operator==(const ChannelRow&) const = default;
};

// What every decode and encode reads: the radio-wide values as the fields hold them at the
// moment of the call, the selected definition's divider table and the configured lists.
struct CodecContext : RadioValues {
    DividerTable Dividers{};      // the selected definition's table; index 1..7
    std::vector<int16_t> DCGList; // standard DCG codes, in list order (entry 1 first)
    std::vector<float> CGList;    // standard CG tones, in list order (entry 1 first)

    // Fills dividers and lists from the configuration for definition d (band position + 1).
    void SetFromConfiguration(const Configuration& cfg, int d);
};

} // namespace ostrand
