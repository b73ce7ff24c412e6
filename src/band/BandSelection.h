// SPDX-License-Identifier: GPL-3.0-or-later
// Band selection without widgets: the texts the radio-wide fields and the reference lists take
// from a radio definition, and where the band list's selection goes after a (re)load.
#pragma once

#include "config/Configuration.h"
#include "image/ChannelRow.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace ostrand {

constexpr int kReferenceItems = 8;

// The 8 item texts of every reference list: a reference frequency in kHz per divider
// position, "Disabled" for the position the CPU type does not use and for a divider of 0
// (a position the table leaves out is no reference at all).
QStringList ReferenceListItems(double refFreq, const DividerTable& dividers, int16_t curRadioID);

// How many characters the operator may type into the radio-wide fields (Ref. Freq. and IF
// Freq., the multipliers). A definition's value is shown whole even when it is longer.
constexpr int kRadioFreqLength = 4;
constexpr int kMultLength = 1;

// The radio-wide field texts a definition gives.
struct BandFields {
    QString TxMult;
    QString RxMult;
    QString IFFreq;
    QString RefFreq;
};
BandFields BandFieldsFor(const RadioDefinition& def);

// What band selection puts in the radio-wide fields for a definition.
RadioFields RadioFieldsFor(const RadioDefinition& def);

// The context every decode and encode of the grid uses: definition d's divider table (d is
// the band list position + 1) and the configuration's code lists, under the given values.
// The window and the command-line tool both build theirs here.
CodecContext ContextFor(const Configuration& cfg, int d, const RadioValues& values);

// Band list position to select, at start-up (from the stored preference) and after a reload
// (the position remembered before it): -1 keeps the list without a selection; a position
// the list does not hold selects the first definition; an empty list selects nothing.
int BandPositionFor(int wanted, int count);

} // namespace ostrand
