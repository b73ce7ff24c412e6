#pragma once

namespace ostrand {

// The system beep.
void SystemBeep();

} // namespace ostrand
