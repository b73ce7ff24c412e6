// SPDX-License-Identifier: GPL-3.0-or-later
// A small reader and writer of INI text files with the reading rules of the classic
// profile-string service, so that a configuration written for that service reads the same.
#pragma once

#include <QString>
#include <memory>

namespace ostrand {

// Reading rules:
// - "[name]" opens a section; "key = value" belongs to the section opened last.
// - Section and key names match without regard to case; blanks around them do not count.
// - Only the first occurrence of a section is looked at, and in it the first matching key.
// - Blanks around a value are dropped; a value in matching double or single quotes comes
//   back without them; at most kMaxValue characters come back and a NUL ends the value.
// - Lines starting with ";" or "#" are comments; lines without "=" are ignored.
// - The file is UTF-8 when its bytes are valid UTF-8 (a byte order mark is skipped), else
//   8-bit text (Latin-1).
// The file is read whole and parsed once, at the first Get call: one object answers one
// load from one reading. A file that is missing, no regular file (a FIFO or a device could
// block or never end) or larger than kMaxFileSize reads as a file without keys, and
// Problem() says why.
class IniFile {
public:
    static constexpr int kMaxValue = 1023;
    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

    // The write-only Filename property: the file all later calls use.
    void SetFilename(const QString& path) {
        filename_ = path;
        doc_.reset();
    }

    // The value text of key in section; def when the file, the section or the key is missing.
    // A key present with an empty value gives an empty text, not def.
    QString GetString(const QString& section, const QString& key, const QString& def = {}) const;

    // The value read as an integer (optional minus sign and the leading decimal digits, 0 when
    // the value does not start with one); def when the key is missing.
    qint32 GetNumber(const QString& section, const QString& key, qint32 def = 0) const;

    // Why the file reads as one without keys: "no such file", "not a regular file", "larger
    // than 16 MiB" or the system's reason; empty when it was read.
    QString Problem() const;

    // Write or replace key in section, creating the section and the file when needed. The file
    // is replaced atomically and keeps its encoding; false (file untouched) when it cannot be
    // read or written, when it is larger than kMaxFileSize, or when a name or the value would
    // not read back (line breaks, NUL, "]" in a section name, "=" in a key, a leading ";", "#"
    // or "[" in a key, empty names, a character 8-bit text lacks in an 8-bit file).
    // A value with blanks at either end, or one already in matching quotes, is written in
    // double quotes so that it reads back unchanged.
    bool PutString(const QString& section, const QString& key, const QString& value) const;
    bool PutNumber(const QString& section, const QString& key, qint32 value) const;

private:
    struct Document;
    const Document& Loaded() const;

    QString filename_;
    mutable std::shared_ptr<const Document> doc_;
};

} // namespace ostrand
