// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/PlanCompare.h"

#include "band/BandSelection.h"
#include "image/RecordCodec.h"
#include "plan/ChannelCsv.h"

#include <algorithm>

namespace ostrand {

namespace {

// A list field names its position and the item the list shows there, since two positions
// may show the same item ("Disabled").
QString ListValue(const QStringList& fields, int position) {
    const QString& item = fields.at(position + 1);
    return item.isEmpty() ? fields.at(position)
                          : QStringLiteral("%1 (%2)").arg(fields.at(position), item);
}

// An empty field (no frequency, no tone) shows as "(none)".
QString Shown(const QString& value) {
    return value.isEmpty() ? QStringLiteral("(none)") : value;
}

} // namespace

std::vector<FieldDifference> ComparePlans(const EEImage& a, const EEImage& b,
                                          const CodecContext& ctx) {
    const QStringList refItems = ReferenceListItems(ctx.RefFreq, ctx.Dividers, ctx.CurRadioID);
    const QStringList cctItems = CctItems(ctx.CurRadioID);
    std::vector<FieldDifference> differences;
    for (int c = 1; c <= kChannels; ++c) {
        const int EEindex = EEindexForChannel(c);
        if (std::equal(a.begin() + EEindex, a.begin() + EEindex + 8, b.begin() + EEindex)) continue;
        const QStringList fa = ChannelFields(c, EEDecode(a, EEindex, ctx), refItems, cctItems);
        const QStringList fb = ChannelFields(c, EEDecode(b, EEindex, ctx), refItems, cctItems);
        const size_t before = differences.size();
        for (int column = kCsvTxFreq; column < kCsvColumns; ++column) {
            if (column == kCsvRefItem || column == kCsvCctItem) continue;
            if (fa.at(column) == fb.at(column)) continue;
            const bool list = column == kCsvRefPosition || column == kCsvCctPosition;
            differences.push_back({c, column, list ? ListValue(fa, column) : Shown(fa.at(column)),
                                   list ? ListValue(fb, column) : Shown(fb.at(column))});
        }
        if (differences.size() == before) differences.push_back({c, -1, {}, {}});
    }
    return differences;
}

QString DifferenceLine(const FieldDifference& d) {
    if (d.column < 0)
        return QStringLiteral("Channel %1: stored bits differ (not shown in the grid)")
            .arg(d.channel);
    return QStringLiteral("Channel %1, %2: %3 -> %4")
        .arg(QString::number(d.channel), CsvHeader().at(d.column), d.a, d.b);
}

} // namespace ostrand
