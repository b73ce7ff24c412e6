// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/ChannelCsv.h"

#include "band/BandSelection.h"

#include "common/Numbers.h"
#include "image/EEImage.h"
#include "image/RecordCodec.h"
#include "image/ToneCodec.h"

#include <QDir>

#include <QRegularExpression>

namespace ostrand {

namespace {

QString Quoted(const QString& text) {
    return u'"' + text + u'"';
}

QString Bool(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QString ItemAt(const QStringList& items, int position) {
    return (position >= 0 && position < items.size()) ? items.at(position) : QString();
}

class LineReader {
public:
    LineReader(int lineNumber, const QStringList& fields, QString& error)
        : line_(lineNumber), fields_(fields), error_(error) {}

    bool Fail(const QString& text) {
        error_ = QStringLiteral("line %1: %2").arg(line_).arg(text);
        return false;
    }
    QString Name(int column) const { return CsvHeader().at(column); }
    const QString& Text(int column) const { return fields_.at(column); }

    bool Integer(int column, int low, int high, int& value) {
        bool ok = false;
        value = Text(column).toInt(&ok, 10);
        if (ok && value >= low && value <= high) return true;
        return Fail(QStringLiteral("%1 must be %2 to %3, not %4")
                        .arg(Name(column))
                        .arg(low)
                        .arg(high)
                        .arg(Quoted(Text(column))));
    }
    // A box: 1 checked, 0 or nothing unchecked.
    bool Box(int column, bool& value) {
        const QString& t = Text(column);
        if (t.isEmpty() || t == u"0" || t == u"1") {
            value = t == u"1";
            return true;
        }
        return Fail(QStringLiteral("%1 must be 0 or 1, not %2").arg(Name(column), Quoted(t)));
    }
    // A frequency in MHz, or nothing for no frequency. No length limit: a decode of a garbled
    // record can show more digits than the operator may type, and must encode back.
    bool Frequency(int column, QString& value) {
        const QString& t = Text(column);
        if (!t.isEmpty() && !ParseStrict(t))
            return Fail(
                QStringLiteral("%1 %2 is not a frequency in MHz").arg(Name(column), Quoted(t)));
        value = t;
        return true;
    }
    // A CG tone (with a decimal point), a DCG code (octal digits) or nothing, as tone entry
    // takes them; like a frequency of any length ("-6250.0" from a garbled record).
    bool Tone(int column, QString& value) {
        static const QRegularExpression octal(QStringLiteral("^[0-7]+$"));
        const QString& t = Text(column);
        const bool cg = t.contains(u'.') && ParseStrict(t);
        if (!t.isEmpty() && !cg && !octal.match(t).hasMatch())
            return Fail(QStringLiteral("%1 %2 is neither a CG tone in Hz (with a decimal point) "
                                       "nor a DCG code (octal digits)")
                            .arg(Name(column), Quoted(t)));
        value = t;
        return true;
    }

private:
    int line_;
    const QStringList& fields_;
    QString& error_;
};

bool IsHeader(const QStringList& fields) {
    return !fields.isEmpty() &&
           fields.first().compare(CsvHeader().first(), Qt::CaseInsensitive) == 0;
}

bool HeaderMatches(const QStringList& fields) {
    const QStringList expected = CsvHeader();
    if (fields.size() != expected.size()) return false;
    for (int i = 0; i < expected.size(); ++i)
        if (fields.at(i).compare(expected.at(i), Qt::CaseInsensitive) != 0) return false;
    return true;
}

} // namespace

QStringList CsvHeader() {
    return {QStringLiteral("Channel"),       QStringLiteral("Tx Freq."),
            QStringLiteral("Rx Freq."),      QStringLiteral("PLL Ref. Position"),
            QStringLiteral("PLL Ref. Item"), QStringLiteral("Tx CG/DCG"),
            QStringLiteral("Rx CG/DCG"),     QStringLiteral("STE"),
            QStringLiteral("CCT Position"),  QStringLiteral("CCT Item"),
            QStringLiteral("Tx W"),          QStringLiteral("Tx Z"),
            QStringLiteral("Rx W"),          QStringLiteral("Rx Z")};
}

QString CsvField(const QString& text) {
    static const QRegularExpression special(QStringLiteral("[,\"\\r\\n]|^\\s|\\s$"));
    if (!special.match(text).hasMatch()) return text;
    QString escaped = text;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return Quoted(escaped);
}

QString CsvLine(const QStringList& fields) {
    QStringList out;
    out.reserve(fields.size());
    for (const QString& f : fields)
        out << CsvField(f);
    return out.join(u',');
}

bool SplitCsvLine(const QString& line, QStringList& fields, QString& error) {
    fields.clear();
    QString field;
    int i = 0;
    const int n = int(line.size());
    while (true) {
        // Blanks before a field's opening quote belong to no field.
        int start = i;
        while (start < n && (line[start] == u' ' || line[start] == u'\t'))
            ++start;
        if (start < n && line[start] == u'"') {
            i = start + 1;
            field.clear();
            bool closed = false;
            while (i < n) {
                if (line[i] == u'"') {
                    if (i + 1 < n && line[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                field += line[i++];
            }
            if (!closed) {
                error = QStringLiteral("a quoted field has no closing quote");
                return false;
            }
            while (i < n && (line[i] == u' ' || line[i] == u'\t'))
                ++i;
            if (i < n && line[i] != u',') {
                error = QStringLiteral("text after a closing quote");
                return false;
            }
            fields << field;
        } else {
            const int comma = int(line.indexOf(u',', i));
            const int end = comma < 0 ? n : comma;
            fields << line.mid(i, end - i).trimmed();
            i = end;
        }
        if (i >= n) return true;
        ++i; // the comma
    }
}

QStringList ChannelFields(int channel, const ChannelRow& row, const QStringList& refItems,
                          const QStringList& cctItems) {
    return {QString::number(channel),
            row.TxFreq,
            row.RxFreq,
            QString::number(row.RefIndex),
            ItemAt(refItems, row.RefIndex),
            row.TxTone,
            row.RxTone,
            Bool(row.STE),
            QString::number(row.CCT),
            ItemAt(cctItems, row.CCT),
            Bool(row.TxW),
            Bool(row.TxZ),
            Bool(row.RxW),
            Bool(row.RxZ)};
}

QString FormatChannel(int channel, const ChannelRow& row, const QStringList& refItems,
                      const QStringList& cctItems) {
    return CsvLine(ChannelFields(channel, row, refItems, cctItems));
}

QString PlanCsv(const std::vector<ChannelRow>& rows, const CodecContext& ctx) {
    const QStringList refItems = ReferenceListItems(ctx.RefFreq, ctx.Dividers, ctx.CurRadioID);
    const QStringList cctItems = CctItems(ctx.CurRadioID);
    QString text = CsvLine(CsvHeader()) + u'\n';
    for (int c = 1; c <= int(rows.size()); ++c)
        text += FormatChannel(c, rows[size_t(c - 1)], refItems, cctItems) + u'\n';
    return text;
}

bool ParsePlan(const QString& text, int cctCount, std::vector<PlanLine>& plan, QString& error) {
    plan.assign(kChannels, PlanLine{});
    bool first = true;
    const QStringList lines = text.split(u'\n');
    for (int index = 0; index < lines.size(); ++index) {
        const int lineNumber = index + 1;
        QString line = lines.at(index);
        if (line.endsWith(u'\r')) line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#')) continue;

        QStringList fields;
        QString why;
        if (!SplitCsvLine(line, fields, why)) {
            error = QStringLiteral("line %1: %2").arg(lineNumber).arg(why);
            return false;
        }
        const bool wasFirst = first;
        first = false;
        if (IsHeader(fields)) {
            if (wasFirst && HeaderMatches(fields)) continue;
            error = wasFirst ? QStringLiteral("line %1: the header line must read: %2")
                                   .arg(lineNumber)
                                   .arg(CsvLine(CsvHeader()))
                             : QStringLiteral("line %1: a header line is only allowed first")
                                   .arg(lineNumber);
            return false;
        }
        if (fields.size() != kCsvColumns) {
            error = QStringLiteral("line %1: %2 fields expected, found %3")
                        .arg(lineNumber)
                        .arg(kCsvColumns)
                        .arg(fields.size());
            return false;
        }

        LineReader r(lineNumber, fields, error);
        int channel = 0;
        if (!r.Integer(kCsvChannel, 1, kChannels, channel)) return false;
        PlanLine& slot = plan[size_t(channel - 1)];
        if (slot.lineNumber != 0)
            return r.Fail(QStringLiteral("channel %1 is already given on line %2")
                              .arg(channel)
                              .arg(slot.lineNumber));
        ChannelRow& row = slot.row;
        if (!r.Frequency(kCsvTxFreq, row.TxFreq) || !r.Frequency(kCsvRxFreq, row.RxFreq) ||
            !r.Integer(kCsvRefPosition, 0, 7, row.RefIndex) || !r.Tone(kCsvTxTone, row.TxTone) ||
            !r.Tone(kCsvRxTone, row.RxTone) || !r.Box(kCsvSte, row.STE) ||
            !r.Integer(kCsvCctPosition, 0, cctCount - 1, row.CCT) || !r.Box(kCsvTxW, row.TxW) ||
            !r.Box(kCsvTxZ, row.TxZ) || !r.Box(kCsvRxW, row.RxW) || !r.Box(kCsvRxZ, row.RxZ))
            return false;
        slot.lineNumber = lineNumber;
    }

    QStringList missing;
    for (int c = 1; c <= kChannels; ++c)
        if (plan[size_t(c - 1)].lineNumber == 0) missing << QString::number(c);
    if (!missing.isEmpty()) {
        error = QStringLiteral("channel%1 %2 missing: the plan must give all %3 channels")
                    .arg(missing.size() > 1 ? QStringLiteral("s") : QString(),
                         missing.join(QStringLiteral(", ")))
                    .arg(kChannels);
        return false;
    }
    return true;
}

bool EncodePlan(const QString& text, const QString& source, const CodecContext& ctx,
                StoredPlan& stored, QString& error) {
    const QString name = QDir::toNativeSeparators(source);
    stored = StoredPlan{};
    std::vector<PlanLine> plan;
    if (!ParsePlan(text, int(CctItems(ctx.CurRadioID).size()), plan, error)) {
        error = name + QStringLiteral(": ") + error;
        return false;
    }

    // As an operator fills the grid: each tone entry is normalised as the field is left
    // (a DCG code becomes its listed code), then the whole grid is encoded from its texts.
    // Every record is rebuilt from its row, so the image starts empty.
    std::vector<ChannelRow> rows;
    for (int c = 1; c <= kChannels; ++c) {
        ChannelRow row = plan[size_t(c - 1)].row;
        const int EEindex = EEindexForChannel(c);
        row.TxTone = ToneEntry(stored.image, EEindex + 4, row.TxTone, ctx);
        row.RxTone = ToneEntry(stored.image, EEindex, row.RxTone, ctx);
        rows.push_back(row);
    }
    EncodeAll(stored.image, rows, ctx);
    stored.rows = DecodeAll(stored.image, ctx);

    // What was typed but cannot be stored reads back empty. A lost tone is said and the plan
    // stored; a lost frequency is a plan that cannot be stored.
    const QStringList header = CsvHeader();
    QStringList lostFrequencies;
    for (int c = 1; c <= kChannels; ++c) {
        const PlanLine& typed = plan[size_t(c - 1)];
        const ChannelRow& back = stored.rows[size_t(c - 1)];
        const auto lost = [&](const QString& was, const QString& now, int column,
                              const char* what) {
            if (was.isEmpty() || !now.isEmpty()) return QString();
            return QStringLiteral("%1: line %2: %3 %4 cannot be stored; channel %5 has no %6")
                .arg(name, QString::number(typed.lineNumber), header.at(column), was,
                     QString::number(c), QLatin1String(what));
        };
        for (const QString& line :
             {lost(typed.row.TxFreq, back.TxFreq, kCsvTxFreq, "transmit frequency"),
              lost(typed.row.RxFreq, back.RxFreq, kCsvRxFreq, "receive frequency")})
            if (!line.isEmpty()) lostFrequencies << line;
        for (const QString& line :
             {lost(typed.row.TxTone, back.TxTone, kCsvTxTone, "transmit tone"),
              lost(typed.row.RxTone, back.RxTone, kCsvRxTone, "receive tone")})
            if (!line.isEmpty()) stored.warnings << line;
    }
    if (!lostFrequencies.isEmpty()) {
        error = lostFrequencies.join(QStringLiteral("; "));
        return false;
    }
    return true;
}

} // namespace ostrand
