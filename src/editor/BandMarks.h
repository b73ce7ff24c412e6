// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's frequencies outside the selected definition's band: each marked in its field (a
// coloured frame and a tooltip naming the limits) and all listed in one status-bar label.
#pragma once

#include "band/BandLimits.h"

#include <QString>
#include <vector>

class QLabel;

namespace ostrand {

class ChannelGrid;

// Marks what the grid shows now and returns it, channel 1 first.
std::vector<OutOfBand> MarkOutOfBand(ChannelGrid& grid, QLabel& list, const BandLimits& limits);

// The question Write Radio asks before writing such frequencies, naming them; its title.
QString OutOfBandQuestion(const std::vector<OutOfBand>& outside, const BandLimits& limits);
constexpr const char* kOutOfBandTitle = "Frequencies Outside the Band";

} // namespace ostrand
