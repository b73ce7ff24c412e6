// SPDX-License-Identifier: GPL-3.0-or-later
// Focus behaviour of the text fields: the whole text is selected when the field gains focus
// (so typing replaces the entry), and a callback runs when the operator leaves the field.
// Lists take the mouse wheel only while they have keyboard focus.
#pragma once

#include <functional>

class QComboBox;
class QLineEdit;

namespace ostrand {

// Installs the behaviour on `edit` (the filter is owned by the field). Opening a menu or
// switching to another window is not leaving the field: neither selects nor calls onLeave.
void WatchFieldFocus(QLineEdit* edit, std::function<void()> onLeave = {});

// A wheel turned over the list while it has no keyboard focus changes nothing (scrolling past
// a channel must not change its reference, nor the band clear the grid) and goes on to the
// parent, so a scroll area around still scrolls. The wheel no longer gives focus either.
void WheelOnlyWhenFocused(QComboBox* list);

} // namespace ostrand
