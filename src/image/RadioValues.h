// SPDX-License-Identifier: GPL-3.0-or-later
// The radio-wide values of the frequency arithmetic (Ref. Freq., IF Freq., the multipliers,
// the injection side, the DCG inversions and the CPU type) as numbers, read once from the
// texts of their fields, the window's or the command line's. The codec computes with them and
// parses nothing; the window marks its fields from the same reading.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace ostrand {

enum class RadioValue { RefFreq, IFFreq, RxMult, TxMult };
constexpr std::array<RadioValue, 4> kRadioValues = {RadioValue::RefFreq, RadioValue::IFFreq,
                                                    RadioValue::RxMult, RadioValue::TxMult};

// The field's caption: "Ref. Freq.", "IF Freq.", "Rx Mult.", "Tx Mult.".
QString RadioValueName(RadioValue value);

// The radio-wide fields as texts: what the window shows, or the command line gives.
struct RadioFields {
    int16_t CurRadioID = 0;
    QString RefFreq;
    QString IFFreq;
    QString RxMult;
    QString TxMult;
    bool InjectionHi = false;
    bool DCGInvertTx = false;
    bool DCGInvertRx = false;
};

struct UnusableValue {
    RadioValue value;
    QString reason; // a sentence naming the field, for example "Ref. Freq. is empty"
};

struct RadioValues {
    int16_t CurRadioID = 0;
    // A text that is one number gives that number. Otherwise Ref. Freq. and Tx Mult. read
    // leniently (the text's numeric prefix, 0 when there is none), as the display has always
    // read them, and IF Freq. and Rx Mult. are nothing: no receive frequency can be shown.
    double RefFreq = 0;           // MHz
    std::optional<double> IFFreq; // MHz
    std::optional<double> RxMult;
    double TxMult = 0;
    bool InjectionHi = false;
    bool DCGInvertTx = false;
    bool DCGInvertRx = false;
    // Why the arithmetic cannot use each value, by RadioValue; empty when it can. Ref. Freq.
    // and the multipliers must be numbers above 0, IF Freq. any number (0 only means no
    // offset). While one is unusable nothing is encoded from the grid: every frequency would
    // be stored wrong, and typing the value again would not bring them back.
    std::array<QString, 4> Problems;

    const QString& Problem(RadioValue value) const { return Problems[size_t(value)]; }
    // The first value, in the window's order, that the arithmetic cannot use.
    std::optional<UnusableValue> FirstUnusable() const;
};

RadioValues ReadRadioValues(const RadioFields& fields);

} // namespace ostrand
