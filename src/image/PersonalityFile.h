// Personality files: 256 hexadecimal digits, image byte 0 first, no line end.
#pragma once

#include "image/EEImage.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace ostrand {

constexpr int kPersonalityDigits = 2 * kBlockSize;

// The first field of the file's text: leading blanks and tabs skipped; a field starting with
// a double quote runs to the next one (or to the end of the text when there is none), the
// quotes not included; otherwise it ends at a comma, a CR or LF, or the end of the text.
QByteArray FirstField(const QByteArray& content);

// The 128 bytes of a first field of exactly 256 characters (any non-hex character counts as
// the digit 0; upper and lower case both read); nothing for any other length, the empty
// content included (callers that treat an empty file differently test for it first).
std::optional<std::array<uint8_t, kBlockSize>> ParsePersonality(const QByteArray& content);

// 256 upper-case digits of image bytes 0..127, nothing else.
QByteArray FormatPersonality(const EEImage& image);

} // namespace ostrand
