// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/EntryExplanation.h"

#include "common/Numbers.h"
#include "image/RecordCodec.h"

#include <algorithm>
#include <cmath>

namespace ostrand {

namespace {

// What a listener cannot tell apart; the grid shows tenths of a kilohertz.
constexpr double kAudibleMHz = 0.0005;
constexpr double kToneHz = 0.05;

QString DcgCode(int code) {
    return QString::number(code, 8).rightJustified(3, u'0');
}

// The frequency step of one direction of a channel, in MHz: the reference step times the
// multiplier; 0 when it is not known.
double ChannelStep(bool transmit, const CodecContext& ctx, int refIndex) {
    const int16_t div = HalfDivider(refIndex, transmit, ctx.Dividers);
    const double mult = transmit ? ctx.TxMult : ctx.RxMult.value_or(0);
    return div == 0 ? 0 : ctx.RefFreq / div * mult;
}

QString ExplainFrequency(bool transmit, const QString& typed, const QString& shown,
                         const CodecContext& ctx, int refIndex) {
    const double v = ParseLenient(typed);
    const QString none =
        transmit ? QStringLiteral("no Tx frequency") : QStringLiteral("no Rx frequency");
    const QString result = shown.isEmpty() ? none : QStringLiteral("shown as ") + shown;
    // The reading stops at a comma: "146,52" is 146 MHz.
    if (const int comma = typed.indexOf(u','); comma >= 0 && v == ParseLenient(typed.left(comma)))
        return QStringLiteral("%1 read as %2 (the decimal point is \".\"): %3")
            .arg(typed, QString::number(v, 'g', 10), result);
    if (shown.isEmpty() && v == 0 && ParseStrict(typed)) return {}; // 0 typed for none
    if (shown.isEmpty())
        return v == 0
                   ? QStringLiteral("%1 is no frequency: %2").arg(typed, none)
                   : QStringLiteral("%1 cannot be stored with this PLL Ref.: %2").arg(typed, none);
    const double difference = std::fabs(v - ParseLenient(shown));
    if (difference <= kAudibleMHz + 1e-9) return {};
    const double step = ChannelStep(transmit, ctx, refIndex);
    if (step > 0 && difference <= step / 2 + 1e-9)
        return QStringLiteral("%1 rounded to the %2 kHz step of its PLL Ref.: %3")
            .arg(typed, FormatPattern(step * 1000, u"#.000"), result);
    return QStringLiteral("%1 is beyond what the synthesizer counts at this PLL Ref.: stored as %2")
        .arg(typed, shown);
}

// The listed CG tone a text of digits reads as (within half a hertz): most likely a tone typed
// without its point. Empty when there is none.
QString ListedTone(const QString& entry, const CodecContext& ctx) {
    bool digits = false;
    const int value = entry.toInt(&digits, 10);
    if (!digits || entry.startsWith(u'0')) return {};
    for (float tone : ctx.CGList)
        if (std::fabs(double(tone) - value) < 0.5) return FormatPattern(tone, u"###.0");
    return {};
}

QString ExplainTone(const QString& typed, const QString& shown, const CodecContext& ctx) {
    const QString entry = typed.trimmed();
    if (entry.contains(u'.')) {
        const bool deltaS = IsDeltaS(ctx.CurRadioID);
        if (shown.isEmpty())
            return deltaS ? QStringLiteral("%1 is not within 20 Hz of a listed CG tone: no tone")
                                .arg(entry)
                          : QStringLiteral("%1 is no tone the tone generator makes: no tone")
                                .arg(entry);
        if (std::fabs(ParseLenient(entry) - ParseLenient(shown)) < kToneHz) return {};
        return (deltaS ? QStringLiteral("%1 replaced by the nearest listed CG tone, %2")
                       : QStringLiteral("%1 replaced by the nearest tone generator setting, %2"))
            .arg(entry, shown);
    }
    const QString code = DcgCode(ParseOctal(entry));
    const QString readAs = QStringLiteral("%1 read as DCG code %2").arg(entry, code);
    if (shown.isEmpty()) {
        if (!entry.isEmpty() && entry.front() >= u'0' && entry.front() <= u'7')
            return readAs + QStringLiteral(", which cannot be stored: no tone");
        return QStringLiteral("%1 is no DCG code (octal digits 0-7): no tone").arg(entry);
    }
    if (shown != code)
        return readAs + QStringLiteral(" (shown as %1, the same code word)").arg(shown);
    // Every character an octal digit: only the leading zeros were added.
    const bool octal =
        std::all_of(entry.cbegin(), entry.cend(), [](QChar c) { return c >= u'0' && c <= u'7'; });
    if (!octal) return readAs;
    if (const QString tone = ListedTone(entry, ctx); !tone.isEmpty())
        return readAs + QStringLiteral(" (a CG tone is typed with a point: %1)").arg(tone);
    return {};
}

} // namespace

QString ExplainEntry(EntryField field, const QString& typed, const QString& shown,
                     const CodecContext& ctx, int refIndex) {
    if (typed.trimmed().isEmpty() || typed.trimmed() == shown) return {};
    switch (field) {
    case EntryField::TxFreq:
    case EntryField::RxFreq:
        return ExplainFrequency(field == EntryField::TxFreq, typed.trimmed(), shown, ctx, refIndex);
    case EntryField::TxTone:
    case EntryField::RxTone:
        return ExplainTone(typed, shown, ctx);
    }
    return {};
}

} // namespace ostrand
