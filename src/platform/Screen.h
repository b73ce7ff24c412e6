// SPDX-License-Identifier: GPL-3.0-or-later
// Placing windows on the screen.
#pragma once

class QWidget;

namespace ostrand {

// Moves the window so that it stands, frame included, in the middle of the screen it is on
// (the primary screen when it has none yet).
void CentreOnScreen(QWidget* window);

} // namespace ostrand
