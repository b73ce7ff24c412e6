// SPDX-License-Identifier: GPL-3.0-or-later
// What each column of the grid and each radio-wide control is, in a technician's words: the
// tooltips of the header labels and the radio-wide controls, and the names and descriptions a
// screen reader gives the fields ("Channel 3 Tx Freq.").
#pragma once

#include <QString>

class QWidget;

namespace ostrand {

// The help text of a control or header label, by object name ("lblSTE", "txtRefFreq"); empty
// for a name that has none.
QString FieldHelp(const QString& objectName);
// The same as a tooltip, which wraps to a readable width.
QString FieldToolTip(const QString& objectName);

// Gives every named child of `window` that has a help text its tooltip, its accessible
// description and, where its caption stands in a separate label, its accessible name.
void DescribeControls(QWidget* window);

} // namespace ostrand
