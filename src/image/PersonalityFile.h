// SPDX-License-Identifier: GPL-3.0-or-later
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

// No valid file holds more before its first field ends; reading stops there so a huge file
// costs nothing.
constexpr qint64 kPersonalityReadLimit = 64 * 1024;

// Reading a personality file from disk. Only regular files are opened (a FIFO or a device
// could block for ever); at most kPersonalityReadLimit bytes are read.
struct PersonalityRead {
    enum Status { Ok, Unreadable, Empty, Invalid } status = Unreadable;
    std::array<uint8_t, kBlockSize> bytes{};
    QString reason; // why it could not be read (Unreadable)
};
PersonalityRead ReadPersonalityFile(const QString& path);
// Why a read that is not Ok gave no personality, naming the file; empty for Ok.
QString ReadProblem(const QString& path, const PersonalityRead& read);

// Writes the 256 digits through a temporary file renamed over the target only when complete,
// so a failure never leaves the previous file truncated; an existing file keeps its
// permissions. Refuses a path that exists and is no regular file. Empty text on success, else
// why not.
QString WritePersonalityFile(const QString& path, const EEImage& image);

} // namespace ostrand
