// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ToneCompleter.h"

#include "common/Numbers.h"

#include <QCompleter>
#include <QStringListModel>

namespace ostrand {

QStringList ToneCompletions(const Configuration& cfg) {
    QStringList items;
    for (int k = 1; k <= cfg.CGCount; ++k)
        items << FormatPattern(cfg.CGList[size_t(k)], u"###.0");
    for (int k = 1; k <= cfg.DCGCount; ++k)
        items << QString::number(cfg.DCGList[size_t(k)], 8).rightJustified(3, u'0');
    items.removeDuplicates();
    return items;
}

QCompleter* MakeToneCompleter(QObject* parent) {
    auto* completer = new QCompleter(new QStringListModel(parent), parent);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    return completer;
}

void SetCompletions(QCompleter* completer, const QStringList& items) {
    if (auto* model = qobject_cast<QStringListModel*>(completer->model()))
        model->setStringList(items);
}

} // namespace ostrand
