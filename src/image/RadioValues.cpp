// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/RadioValues.h"

#include "common/Numbers.h"

namespace ostrand {

namespace {

// Why the arithmetic cannot use `text` for the value; empty when it can.
QString WhyUnusable(RadioValue value, const QString& text) {
    const QString name = RadioValueName(value);
    if (text.trimmed().isEmpty()) return name + QStringLiteral(" is empty");
    const std::optional<double> number = ParseStrict(text);
    if (!number) return QStringLiteral("%1 \"%2\" is not a number").arg(name, text);
    // The reference and the multipliers scale or divide every frequency.
    if (value != RadioValue::IFFreq && !(*number > 0))
        return name + QStringLiteral(" must be greater than 0");
    return {};
}

// The number a text holds, else its lenient reading. The lenient reading alone would take a
// number behind a carriage return or a non-breaking space for 0, which the check passes.
double Lenient(const QString& text) {
    return ParseStrict(text).value_or(ParseLenient(text));
}

} // namespace

QString RadioValueName(RadioValue value) {
    switch (value) {
    case RadioValue::RefFreq:
        return QStringLiteral("Ref. Freq.");
    case RadioValue::IFFreq:
        return QStringLiteral("IF Freq.");
    case RadioValue::RxMult:
        return QStringLiteral("Rx Mult.");
    case RadioValue::TxMult:
        return QStringLiteral("Tx Mult.");
    }
    return {};
}

std::optional<UnusableValue> RadioValues::FirstUnusable() const {
    for (RadioValue value : kRadioValues)
        if (!Problem(value).isEmpty()) return UnusableValue{value, Problem(value)};
    return std::nullopt;
}

RadioValues ReadRadioValues(const RadioFields& fields) {
    RadioValues v;
    v.CurRadioID = fields.CurRadioID;
    v.RefFreq = Lenient(fields.RefFreq);
    v.IFFreq = ParseStrict(fields.IFFreq);
    v.RxMult = ParseStrict(fields.RxMult);
    v.TxMult = Lenient(fields.TxMult);
    v.InjectionHi = fields.InjectionHi;
    v.DCGInvertTx = fields.DCGInvertTx;
    v.DCGInvertRx = fields.DCGInvertRx;
    v.Problems = {WhyUnusable(RadioValue::RefFreq, fields.RefFreq),
                  WhyUnusable(RadioValue::IFFreq, fields.IFFreq),
                  WhyUnusable(RadioValue::RxMult, fields.RxMult),
                  WhyUnusable(RadioValue::TxMult, fields.TxMult)};
    return v;
}

} // namespace ostrand
