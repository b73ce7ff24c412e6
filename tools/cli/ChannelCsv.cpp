#include "ChannelCsv.h"

#include "common/Numbers.h"
#include "image/EEImage.h"

#include <QRegularExpression>

namespace ostrand::cli {

namespace {

enum Column {
    kChannel,
    kTxFreq,
    kRxFreq,
    kRefPosition,
    kRefItem,
    kTxTone,
    kRxTone,
    kSte,
    kCctPosition,
    kCctItem,
    kTxW,
    kTxZ,
    kRxW,
    kRxZ,
};

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

QString FormatChannel(int channel, const ChannelRow& row, const QStringList& refItems,
                      const QStringList& cctItems) {
    return CsvLine({QString::number(channel), row.TxFreq, row.RxFreq, QString::number(row.RefIndex),
                    ItemAt(refItems, row.RefIndex), row.TxTone, row.RxTone, Bool(row.STE),
                    QString::number(row.CCT), ItemAt(cctItems, row.CCT), Bool(row.TxW),
                    Bool(row.TxZ), Bool(row.RxW), Bool(row.RxZ)});
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
        if (!r.Integer(kChannel, 1, kChannels, channel)) return false;
        PlanLine& slot = plan[size_t(channel - 1)];
        if (slot.lineNumber != 0)
            return r.Fail(QStringLiteral("channel %1 is already given on line %2")
                              .arg(channel)
                              .arg(slot.lineNumber));
        ChannelRow& row = slot.row;
        if (!r.Frequency(kTxFreq, row.TxFreq) || !r.Frequency(kRxFreq, row.RxFreq) ||
            !r.Integer(kRefPosition, 0, 7, row.RefIndex) || !r.Tone(kTxTone, row.TxTone) ||
            !r.Tone(kRxTone, row.RxTone) || !r.Box(kSte, row.STE) ||
            !r.Integer(kCctPosition, 0, cctCount - 1, row.CCT) || !r.Box(kTxW, row.TxW) ||
            !r.Box(kTxZ, row.TxZ) || !r.Box(kRxW, row.RxW) || !r.Box(kRxZ, row.RxZ))
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

} // namespace ostrand::cli
