// SPDX-License-Identifier: GPL-3.0-or-later
// A definition's band limits (EnforceLo..EnforceHi) and the channel frequencies of a plan that
// lie outside them. Nothing is refused here: the window marks and asks, the command line warns
// and refuses a write; what the codec stores does not change.
#pragma once

#include "config/Configuration.h"
#include "image/ChannelRow.h"

#include <QString>
#include <vector>

namespace ostrand {

struct BandLimits {
    double lo = 0; // MHz
    double hi = 0;
    // Both limits set, non-zero and in order; a definition without them has no band to check.
    bool Set() const;
    // "136.0000–174.0000 MHz"
    QString Text() const;
    // A frequency text as the grid shows it ("####.0000") outside the limits, compared at the
    // grid's four decimals so that a limit typed as 173.9875 keeps 173.9875 inside. An empty
    // text (no frequency) is never outside.
    bool Outside(const QString& freq) const;
};

BandLimits LimitsOf(const RadioDefinition& def);

// One channel frequency outside the limits: the channel (1..16), which frequency and its text.
struct OutOfBand {
    int channel = 0;
    bool transmit = false;
    QString freq;

    // "channel 3 Tx Freq. 450.1000"
    QString Name() const;
};

// "channel 3 Tx Freq. 450.1000 is outside 136.0000–174.0000 MHz"
QString OutsideText(const OutOfBand& f, const BandLimits& limits);

// Both frequencies of every row (channel 1 first), transmit before receive, as the rows show
// them: what the image holds after encoding and decoding. Nothing when the limits are not set.
std::vector<OutOfBand> FrequenciesOutside(const std::vector<ChannelRow>& rows,
                                          const BandLimits& limits);

} // namespace ostrand
