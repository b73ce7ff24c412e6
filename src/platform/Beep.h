// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace ostrand {

// The system beep.
void SystemBeep();

} // namespace ostrand
