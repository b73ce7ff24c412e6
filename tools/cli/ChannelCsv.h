// The channel plan as CSV text: one line per channel, the columns of the window's grid with
// the two lists given both as a position and as the item text the window shows.
#pragma once

#include "image/ChannelRow.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace ostrand::cli {

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

// The line the window's grid shows for a channel: refItems and cctItems are the texts of the
// reference and timer lists in force (a position without an item shows an empty text).
QString FormatChannel(int channel, const ChannelRow& row, const QStringList& refItems,
                      const QStringList& cctItems);

// A channel plan read from CSV text: all 16 channels, each once, in any order; an optional
// header line; blank lines and lines starting with "#" skipped. Tone and frequency texts are
// kept as typed (the caller runs them through tone entry and the encoder); item-text columns
// are not read. cctCount is the number of items of the timer list in force.
struct PlanLine {
    int lineNumber = 0;
    ChannelRow row;
};
bool ParsePlan(const QString& text, int cctCount, std::vector<PlanLine>& plan, QString& error);

} // namespace ostrand::cli
