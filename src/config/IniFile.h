// A small reader and writer of INI text files with the reading rules of the classic
// profile-string service, so that a configuration written for that service reads the same.
#pragma once

#include <QString>

namespace ostrand {

// Reading rules:
// - "[name]" opens a section; "key = value" belongs to the section opened last.
// - Section and key names match without regard to case; blanks around them do not count.
// - Only the first occurrence of a section is looked at, and in it the first matching key.
// - Blanks around a value are dropped; a value in matching double or single quotes comes
//   back without them; at most kMaxValue characters come back and a NUL ends the value.
// - Lines starting with ";" or "#" are comments; lines without "=" are ignored.
// - The file is 8-bit text (Latin-1), or UTF-8 when it starts with a UTF-8 byte order mark.
// Every call opens the file anew and stops as soon as it has its answer. A file is read
// only up to its first kReadLimit bytes (a full configuration is a few tens of kilobytes;
// the limit keeps a huge or endless file from stalling the hundreds of reads of one load);
// lines beyond it, and a line that crosses it, do not exist for the reader. Only the first
// kMaxLine bytes of a line are looked at.
class cINIFile {
public:
    static constexpr int kMaxValue = 1023;
    static constexpr qint64 kReadLimit = 256 * 1024;
    static constexpr qsizetype kMaxLine = 16 * 1024;
    // Put* refuse files larger than this rather than rewrite them.
    static constexpr qint64 kMaxRewrite = 16 * 1024 * 1024;

    // The write-only Filename property: the file all later calls use.
    void setFilename(const QString& path) { m_filename = path; }

    // The value text of key in section; def when the file, the section or the key is missing.
    // A key present with an empty value gives an empty text, not def.
    QString GetString(const QString& section, const QString& key, const QString& def = {}) const;

    // The value read as an integer (optional minus sign and the leading decimal digits, 0 when
    // the value does not start with one); def when the key is missing.
    qint32 GetNumber(const QString& section, const QString& key, qint32 def = 0) const;

    // Write or replace key in section, creating the section and the file when needed. The file
    // is replaced atomically; false (file untouched) when it cannot be written, when it is
    // larger than kMaxRewrite, or when a name or the value would not read back (line breaks,
    // NUL, "]" in a section name, "=" in a key, a leading ";", "#" or "[" in a key, empty
    // names).
    // A value with blanks at either end, or one already in matching quotes, is written in
    // double quotes so that it reads back unchanged.
    bool PutString(const QString& section, const QString& key, const QString& value) const;
    bool PutNumber(const QString& section, const QString& key, qint32 value) const;

private:
    QString m_filename;
};

} // namespace ostrand
