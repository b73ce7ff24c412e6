// Every timeout and pause of the RIB conversation goes through here, so a test (or a slow
// link) can scale them without touching the exchanges.
#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>

namespace ostrand {

struct LinkTiming {
    // 1.0 is real time; tests use e.g. 0.1 so a 2000 ms timeout lasts 200 ms.
    double factor = 1.0;
    // How often a wait looks whether the window is closing.
    std::chrono::milliseconds closingPoll{50};

    int Scaled(int realMs) const {
        return std::max(1, static_cast<int>(std::lround(realMs * factor)));
    }
};

} // namespace ostrand
