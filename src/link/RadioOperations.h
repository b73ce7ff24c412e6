// Read Radio and Write Radio: the fixed command sequences with their status texts, run against
// any RadioHost (the main window, or a command-line front end). Both always end in the same
// state: status closed, port closed, both buttons enabled. They return true on success.
#pragma once

#include "link/LinkTiming.h"
#include "link/RadioHost.h"

namespace ostrand {

inline constexpr char kCpuWarningText[] = "Target Radio CPU expects an EEPROM format different "
                                          "than you are attempting to write.  Do you wish to "
                                          "contine?";
inline constexpr char kCpuWarningTitle[] = "CPU Version Warning";

bool ReadRadio(RadioHost& host, const LinkTiming& timing = {});
bool WriteRadio(RadioHost& host, const LinkTiming& timing = {});

} // namespace ostrand
