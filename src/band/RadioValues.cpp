#include "band/RadioValues.h"

#include "common/Numbers.h"

namespace ostrand {

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

QString RadioValueProblem(RadioValue value, const QString& text) {
    const QString name = RadioValueName(value);
    if (text.trimmed().isEmpty()) return name + QStringLiteral(" is empty");
    const std::optional<double> number = ParseStrict(text);
    if (!number) return QStringLiteral("%1 \"%2\" is not a number").arg(name, text);
    // The reference and the multipliers scale or divide every frequency.
    if (value != RadioValue::IFFreq && !(*number > 0))
        return name + QStringLiteral(" must be greater than 0");
    return {};
}

const QString& RadioValueText(const RadioFields& fields, RadioValue value) {
    switch (value) {
    case RadioValue::RefFreq:
        return fields.RefFreq;
    case RadioValue::IFFreq:
        return fields.IFFreq;
    case RadioValue::RxMult:
        return fields.RxMult;
    case RadioValue::TxMult:
        break;
    }
    return fields.TxMult;
}

std::optional<UnusableValue> FirstUnusable(const RadioFields& fields) {
    for (RadioValue value : kRadioValues) {
        QString reason = RadioValueProblem(value, RadioValueText(fields, value));
        if (!reason.isEmpty()) return UnusableValue{value, std::move(reason)};
    }
    return std::nullopt;
}

} // namespace ostrand
