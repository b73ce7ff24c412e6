// Whether the frequency arithmetic can use the radio-wide values the fields hold. A value it
// cannot use (empty, not a number, a zero reference or multiplier) would store every channel
// wrong, so nothing is encoded from the grid while one is there.
#pragma once

#include "band/BandSelection.h"

#include <QString>
#include <array>
#include <optional>

namespace ostrand {

enum class RadioValue { RefFreq, IFFreq, RxMult, TxMult };
constexpr std::array<RadioValue, 4> kRadioValues = {RadioValue::RefFreq, RadioValue::IFFreq,
                                                    RadioValue::RxMult, RadioValue::TxMult};

// The field's caption: "Ref. Freq.", "IF Freq.", "Rx Mult.", "Tx Mult.".
QString RadioValueName(RadioValue value);

// Why the arithmetic cannot use `text` for the value, as a sentence naming the field (for
// example "Ref. Freq. is empty"); empty when it can. Ref. Freq. and the multipliers must be
// numbers above 0; IF Freq. any number (0 only means no offset).
QString RadioValueProblem(RadioValue value, const QString& text);

// The text the fields hold for the value.
const QString& RadioValueText(const RadioFields& fields, RadioValue value);

struct UnusableValue {
    RadioValue value;
    QString reason; // RadioValueProblem's sentence
};
// The first value, in the window's order, that the arithmetic cannot use.
std::optional<UnusableValue> FirstUnusable(const RadioFields& fields);

} // namespace ostrand
