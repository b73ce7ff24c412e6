// SPDX-License-Identifier: GPL-3.0-or-later
// Why a field shows something other than what the operator typed into it: one line for the
// status bar, or nothing when the difference is only the field's own format (a leading zero,
// four decimals) or a rounding the operator could not hear (half a kilohertz or less).
#pragma once

#include "image/ChannelRow.h"

#include <QString>

namespace ostrand {

enum class EntryField { TxFreq, RxFreq, TxTone, RxTone };

// typed: the text the operator left in the field; shown: what the field shows after the entry
// (the decoder's text); refIndex: the row's PLL Ref. position, whose step a frequency is
// rounded to. The entry itself is never refused: this only says how it was read.
QString ExplainEntry(EntryField field, const QString& typed, const QString& shown,
                     const CodecContext& ctx, int refIndex);

} // namespace ostrand
