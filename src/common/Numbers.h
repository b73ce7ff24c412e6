// SPDX-License-Identifier: GPL-3.0-or-later
// Text-to-number readings and the numeric display patterns the window uses.
// Every reading is total: any text gives a value, nothing throws or reads out of range.
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace ostrand {

// Lenient reading: blanks, tabs and line feeds anywhere are ignored, then the longest
// leading numeric prefix (optional sign, digits, one "." as decimal point whatever the
// locale, optional exponent) is the value; 0 when there is none. NaN/inf texts read as 0.
double ParseLenient(QStringView text);

// Strict reading: after trimming blanks the whole text must be one decimal number;
// nothing (std::nullopt) otherwise, also for an empty text.
std::optional<double> ParseStrict(QStringView text);

// Leading octal digits 0..7 (blanks ignored); 0 when there are none. Saturates, never overflows.
int ParseOctal(QStringView text);

// A field of hexadecimal digits as the RIB and the files write them: blanks, tabs and line
// feeds are skipped, 0-9 A-F a-f accepted, reading stops at the first other character;
// a field without a digit reads as 0. Only the first `width` characters are looked at.
int ParseHexField(QStringView text, int width = 2);

// The integer reading of an INI value: optional minus sign and leading decimal digits;
// 0 for a text that does not start with a digit. Saturates to the int32 range.
qint32 ParseLeadingInt(QStringView text);

// Display patterns: "0" mandatory digit, "#" optional digit, rounding half away from zero
// to the pattern's decimals. Supported: "0", "##.0", "#.000", "###.0", "####.0000",
// "##0.0000". Examples: FormatPattern(13.2,"##.0")=="13.2", FormatPattern(0,"##.0")==".0",
// FormatPattern(0.5,"#.000")==".500". Non-finite values format as an empty text.
QString FormatPattern(double value, QStringView pattern);

} // namespace ostrand
