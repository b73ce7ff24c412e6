// SPDX-License-Identifier: GPL-3.0-or-later
// Completion on the tone fields: the configured CG tones and DCG codes, as the fields show
// them, offered in a popup as the operator types.
#pragma once

#include "config/Configuration.h"

#include <QStringList>

class QCompleter;
class QObject;

namespace ostrand {

// The CG list as tones ("67.0"), then the DCG list as codes ("023"), each once, in list order.
QStringList ToneCompletions(const Configuration& cfg);

// A case-insensitive popup completer over a list model that SetCompletions replaces; one
// completer serves every tone field (a field takes it over when it gains focus).
QCompleter* MakeToneCompleter(QObject* parent);
void SetCompletions(QCompleter* completer, const QStringList& items);

} // namespace ostrand
