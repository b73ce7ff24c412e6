// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/ChannelRow.h"

#include <algorithm>

namespace ostrand {

void CodecContext::SetFromConfiguration(const Configuration& cfg, int d) {
    Dividers = cfg.TableFor(d);

    // Counts come from the file; never let one reach past its table.
    const int dcgCount = std::clamp(int(cfg.DCGCount), 0, int(cfg.DCGList.size()) - 1);
    DCGList.assign(cfg.DCGList.begin() + 1, cfg.DCGList.begin() + 1 + dcgCount);
    const int cgCount = std::clamp(int(cfg.CGCount), 0, int(cfg.CGList.size()) - 1);
    CGList.assign(cfg.CGList.begin() + 1, cfg.CGList.begin() + 1 + cgCount);
}

} // namespace ostrand
