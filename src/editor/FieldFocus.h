// Focus behaviour of the text fields: the whole text is selected when the field gains focus
// (so typing replaces the entry), and a callback runs when the operator leaves the field.
#pragma once

#include <functional>

class QLineEdit;

namespace ostrand {

// Installs the behaviour on `edit` (the filter is owned by the field). Opening a menu or
// switching to another window is not leaving the field: neither selects nor calls onLeave.
void WatchFieldFocus(QLineEdit* edit, std::function<void()> onLeave = {});

} // namespace ostrand
