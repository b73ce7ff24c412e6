// Personality files: 256 hexadecimal digits, image byte 0 first, no line end.
#pragma once

#include "image/EEImage.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace ostrand {

// The first field of the file's text: leading blanks skipped; a field starting with a double
// quote runs to the next one; otherwise it ends at a comma, a line end or the end of text.
QByteArray FirstField(const QByteArray& content);

// The 128 bytes of a first field of exactly 256 characters (any non-hex character counts as
// the digit 0); nothing for any other length.
std::optional<std::array<uint8_t, kBlockSize>> ParsePersonality(const QByteArray& content);

// 256 upper-case digits of image bytes 0..127.
QByteArray FormatPersonality(const EEImage& image);

} // namespace ostrand
