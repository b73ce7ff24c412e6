// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/BandMarks.h"

#include "editor/ChannelGrid.h"

#include <QLabel>

namespace ostrand {

std::vector<OutOfBand> MarkOutOfBand(ChannelGrid& grid, QLabel& list, const BandLimits& limits) {
    std::vector<ChannelRow> rows;
    for (int r = 0; r < kChannels; ++r)
        rows.push_back(grid.ReadRow(r));
    const std::vector<OutOfBand> outside = FrequenciesOutside(rows, limits);
    bool marked[kChannels][2] = {};
    QStringList names;
    for (const OutOfBand& f : outside) {
        marked[f.channel - 1][f.transmit ? 0 : 1] = true;
        names << f.Name();
    }
    const QString why = QStringLiteral("outside ") + limits.Text();
    for (int r = 0; r < kChannels; ++r) {
        grid.MarkField(r, ChannelGrid::TxFreq, marked[r][0] ? why : QString());
        grid.MarkField(r, ChannelGrid::RxFreq, marked[r][1] ? why : QString());
    }
    const QString text =
        names.isEmpty()
            ? QString()
            : QStringLiteral("Outside %1: %2").arg(limits.Text(), names.join(QStringLiteral(", ")));
    list.setText(text);
    list.setToolTip(text);
    return outside;
}

} // namespace ostrand

namespace ostrand {

QString OutOfBandQuestion(const std::vector<OutOfBand>& outside, const BandLimits& limits) {
    QStringList names;
    for (const OutOfBand& f : outside)
        names << f.Name();
    QString text = names.join(QStringLiteral(", "));
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return QStringLiteral("%1 %2 outside %3, the band of the selected radio definition.\n\n"
                          "Write the radio anyway?")
        .arg(text, outside.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"),
             limits.Text());
}

} // namespace ostrand
