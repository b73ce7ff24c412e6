// SPDX-License-Identifier: GPL-3.0-or-later
// Read Radio and Write Radio: the fixed command sequences with their status texts, run for any
// host (the main window, or the command line). Both always end in the same state: status
// closed, port closed. They return true on success. The window disables its radio buttons
// around them, encodes the grid before a write and decodes it after a read.
//
// Each operation works on a snapshot taken at the click: the serial device, the CPU type the
// host encodes for, and for a write the block encoded from the grid under the definition
// selected then. The radio's identified type is compared with that snapshot, never with the
// host's live state, so nothing the operator does meanwhile (band change, Open, configuration
// reload, grid edits) changes what is sent or what is checked. The host takes the radio's
// identity only when the operation succeeds: a read's block is that radio's, and a written
// radio is what the window then encodes for, unless the operator chose another type during
// the write. A failed or declined operation leaves the host as it was, so the next write asks
// the CPU question again.
//
// While an operation runs its waits process events; the host must not start a nested event
// loop meanwhile (a modal dialog), or the waits stall until that loop ends.
#pragma once

#include "common/Clock.h"
#include "link/RadioHost.h"

namespace ostrand {

inline constexpr char kCpuWarningText[] = "Target Radio CPU expects an EEPROM format different "
                                          "than you are attempting to write.  Do you wish to "
                                          "contine?";
inline constexpr char kCpuWarningTitle[] = "CPU Version Warning";

// Every wait and pause runs on `clock`; stopping it ends the operation at its next wait. A
// successful read gives its block in `received` as well (the host's image may change again
// before the operation ends).
bool ReadRadio(RadioHost& host, OperationReport& report, Clock& clock, EEImage* received = nullptr);
bool WriteRadio(RadioHost& host, OperationReport& report, Clock& clock);

} // namespace ostrand
