// SPDX-License-Identifier: GPL-3.0-or-later
#include "band/BandLimits.h"

#include "common/Numbers.h"

#include <cmath>

namespace ostrand {

namespace {

// The grid shows four decimals of MHz: limits and frequencies meet in those units (whole
// numbers, exact in a double far beyond any frequency).
double TenthsOfKiloHertz(double mhz) {
    return std::round(mhz * 10000.0);
}

} // namespace

bool BandLimits::Set() const {
    return lo != 0 && hi != 0 && lo <= hi && std::isfinite(lo) && std::isfinite(hi);
}

QString BandLimits::Text() const {
    return QStringLiteral("%1–%2 MHz")
        .arg(FormatPattern(lo, u"####.0000"), FormatPattern(hi, u"####.0000"));
}

bool BandLimits::Outside(const QString& freq) const {
    if (!Set() || freq.trimmed().isEmpty()) return false;
    const double f = TenthsOfKiloHertz(ParseLenient(freq));
    return f < TenthsOfKiloHertz(lo) || f > TenthsOfKiloHertz(hi);
}

BandLimits LimitsOf(const RadioDefinition& def) {
    return {double(def.EnforceLo), double(def.EnforceHi)};
}

QString OutOfBand::Name() const {
    return QStringLiteral("channel %1 %2 %3")
        .arg(channel)
        .arg(transmit ? QStringLiteral("Tx Freq.") : QStringLiteral("Rx Freq."), freq);
}

QString OutsideText(const OutOfBand& f, const BandLimits& limits) {
    return QStringLiteral("%1 is outside %2").arg(f.Name(), limits.Text());
}

std::vector<OutOfBand> FrequenciesOutside(const std::vector<ChannelRow>& rows,
                                          const BandLimits& limits) {
    std::vector<OutOfBand> outside;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int channel = int(i) + 1;
        if (limits.Outside(rows[i].TxFreq)) outside.push_back({channel, true, rows[i].TxFreq});
        if (limits.Outside(rows[i].RxFreq)) outside.push_back({channel, false, rows[i].RxFreq});
    }
    return outside;
}

} // namespace ostrand
