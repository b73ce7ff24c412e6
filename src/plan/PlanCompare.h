// SPDX-License-Identifier: GPL-3.0-or-later
// Two personalities compared as the grid shows them under one definition: each field that
// differs, and the records that differ only in bits the grid does not show.
#pragma once

#include "image/ChannelRow.h"
#include "image/EEImage.h"

#include <QString>
#include <vector>

namespace ostrand {

struct FieldDifference {
    int channel = 0; // 1..16
    int column = -1; // a CsvColumn; -1: the record differs in bits the grid does not show
    QString a, b;    // the field as each personality shows it; a list as "position (item)"
};

// The differences of the two blocks (bytes 0..127), channel by channel, fields in column
// order. Empty exactly when the blocks are equal.
std::vector<FieldDifference> ComparePlans(const EEImage& a, const EEImage& b,
                                          const CodecContext& ctx);

// "Channel 3, Tx Freq.: 155.3625 -> 155.3750", or "Channel 3: stored bits differ (not shown in
// the grid)".
QString DifferenceLine(const FieldDifference& difference);

} // namespace ostrand
