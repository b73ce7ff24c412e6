// SPDX-License-Identifier: GPL-3.0-or-later
// The channel plan as CSV text: one line per channel, the columns of the window's grid with
// the two lists given both as a position and as the item text the window shows.
#pragma once

#include "image/ChannelRow.h"
#include "image/EEImage.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace ostrand {

// The columns, in order.
enum CsvColumn {
    kCsvChannel,
    kCsvTxFreq,
    kCsvRxFreq,
    kCsvRefPosition,
    kCsvRefItem,
    kCsvTxTone,
    kCsvRxTone,
    kCsvSte,
    kCsvCctPosition,
    kCsvCctItem,
    kCsvTxW,
    kCsvTxZ,
    kCsvRxW,
    kCsvRxZ,
};
constexpr int kCsvColumns = 14;

// The header line's fields, in column order.
QStringList CsvHeader();

// One field, quoted only when it has to be (comma, quote, line break, outer blanks).
QString CsvField(const QString& text);
// Fields joined into one line, without a line end.
QString CsvLine(const QStringList& fields);

// Splits one line into fields: a field may be quoted, with "" for a quote inside. False for
// an unterminated quote or text after a closing quote.
bool SplitCsvLine(const QString& line, QStringList& fields, QString& error);

// The fields of what the window's grid shows for a channel: refItems and cctItems are the
// texts of the reference and timer lists in force (a position without an item shows an empty
// text). FormatChannel joins them into a line.
QStringList ChannelFields(int channel, const ChannelRow& row, const QStringList& refItems,
                          const QStringList& cctItems);
QString FormatChannel(int channel, const ChannelRow& row, const QStringList& refItems,
                      const QStringList& cctItems);
// The header and the 16 channel lines under the lists of ctx, each line ended by a line feed:
// what decode prints and Export CSV writes.
QString PlanCsv(const std::vector<ChannelRow>& rows, const CodecContext& ctx);

// A channel plan read from CSV text: all 16 channels, each once, in any order; an optional
// header line; blank lines and lines starting with "#" skipped. Tone and frequency texts are
// kept as typed (the caller runs them through tone entry and the encoder); item-text columns
// are not read. cctCount is the number of items of the timer list in force.
struct PlanLine {
    int lineNumber = 0;
    ChannelRow row;
};
bool ParsePlan(const QString& text, int cctCount, std::vector<PlanLine>& plan, QString& error);

// A plan as the radio stores it: the block every record of which is rebuilt from its row
// (records only: the rest of the image is zero), the rows as the block decodes, and what was
// typed but reads back empty.
struct StoredPlan {
    EEImage image{};
    std::vector<ChannelRow> rows;
    QStringList warnings; // a tone that cannot be stored: the plan is stored without it
};
// Encodes CSV text as an operator fills the grid (each tone normalised by tone entry, then
// the whole grid encoded). False, with the error, for a line that cannot be read or a
// frequency that cannot be stored; messages name the source (a file name). ctx's radio-wide
// values must be usable (the caller refuses them first). plan's rows stay empty when the text
// could not be read.
bool EncodePlan(const QString& text, const QString& source, const CodecContext& ctx,
                StoredPlan& plan, QString& error);

} // namespace ostrand
