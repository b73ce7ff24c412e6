#include "config/IniFile.h"

#include "common/Numbers.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstring>
#include <optional>

namespace ostrand {

namespace {

constexpr qsizetype kBlock = 64 * 1024;
constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF", 3);

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

QByteArrayView trimLeft(QByteArrayView v) {
    while (!v.isEmpty() && isBlank(v.front()))
        v = v.sliced(1);
    return v;
}

QByteArrayView trimRight(QByteArrayView v) {
    while (!v.isEmpty() && isBlank(v.back()))
        v.chop(1);
    return v;
}

QByteArrayView trim(QByteArrayView v) {
    return trimRight(trimLeft(v));
}

bool isQuote(char c) {
    return c == '"' || c == '\'';
}

// What one line of the file is. `name` is the section or key name, `value` the raw value
// text after the "=" with leading blanks removed.
struct Parsed {
    enum Kind { Ignored, Section, Key } kind = Ignored;
    QByteArrayView name;
    QByteArrayView value;
};

Parsed classify(QByteArrayView line) {
    Parsed p;
    const QByteArrayView t = trimLeft(line);
    if (t.isEmpty() || t.front() == ';' || t.front() == '#') return p;
    if (t.front() == '[') {
        const qsizetype close = t.lastIndexOf(']');
        if (close < 0) return p; // not a section header, and without "=" nothing else either
        p.kind = Parsed::Section;
        p.name = trim(t.sliced(1, close - 1));
        return p;
    }
    const qsizetype eq = t.indexOf('=');
    if (eq < 0) return p;
    p.kind = Parsed::Key;
    p.name = trimRight(t.first(eq));
    p.value = trimLeft(t.sliced(eq + 1));
    return p;
}

// One line as the reader sees it: its first kMaxLine bytes, and for a longer line the last
// non-blank byte of the part that was skipped (0 when that part is blank). `head` stays valid
// until the next line is read.
struct Line {
    QByteArrayView head;
    bool cut = false;
    char tailLast = 0;
};

// Splits a device into lines, reading blocks and never holding more than one block and one
// line head. A line inside the block is handed out in place; only a line that spans blocks
// is copied. Stops after `limit` bytes; a line that crosses the limit is dropped.
class LineScanner {
public:
    LineScanner(QIODevice& dev, qint64 limit) : m_dev(dev), m_left(limit), m_block(kBlock, 0) {}

    bool next(Line& line) {
        line.cut = false;
        line.tailLast = 0;
        m_spanning.clear();
        bool any = false;
        for (;;) {
            if (m_pos >= m_size && !fill()) {
                line.head = m_spanning;
                return any && !m_truncated;
            }
            any = true;
            const char* start = m_block.constData() + m_pos;
            const qsizetype avail = m_size - m_pos;
            const char* nl = static_cast<const char*>(std::memchr(start, '\n', size_t(avail)));
            const qsizetype len = nl ? nl - start : avail;
            m_pos += len + (nl ? 1 : 0);
            if (nl && m_spanning.isEmpty()) {
                line.head = QByteArrayView(start, qMin(len, cINIFile::kMaxLine));
                if (len > cINIFile::kMaxLine)
                    noteTail(line, QByteArrayView(start, len).sliced(cINIFile::kMaxLine));
                return true;
            }
            const qsizetype room = cINIFile::kMaxLine - m_spanning.size();
            m_spanning.append(start, qMin(len, room));
            if (len > room) noteTail(line, QByteArrayView(start, len).sliced(room));
            if (nl) {
                line.head = m_spanning;
                return true;
            }
        }
    }

private:
    bool fill() {
        m_pos = m_size = 0;
        if (m_left <= 0) {
            m_truncated = !m_dev.atEnd();
            return false;
        }
        const qint64 got = m_dev.read(m_block.data(), qMin<qint64>(kBlock, m_left));
        if (got <= 0) return false;
        m_size = qsizetype(got);
        m_left -= got;
        return true;
    }

    static void noteTail(Line& line, QByteArrayView skipped) {
        line.cut = true;
        skipped = trimRight(skipped);
        if (!skipped.isEmpty()) line.tailLast = skipped.back();
    }

    QIODevice& m_dev;
    qint64 m_left;
    QByteArray m_block;
    qsizetype m_size = 0;
    qsizetype m_pos = 0;
    QByteArray m_spanning;
    bool m_truncated = false;
};

QString decode(QByteArrayView bytes, bool utf8) {
    return utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

// A wanted section or key name, kept in both encodings so that lines are compared without
// decoding each of them.
struct Name {
    explicit Name(const QString& s) : text(s.trimmed()), latin1(text.toLatin1()) {
        for (QChar c : text)
            representable = representable && c.unicode() <= 0xFF;
    }
    bool matches(QByteArrayView fileName, bool utf8) const {
        if (utf8) return decode(fileName, true).compare(text, Qt::CaseInsensitive) == 0;
        return representable && fileName.size() == latin1.size() &&
               QLatin1StringView(fileName.data(), fileName.size())
                       .compare(QLatin1StringView(latin1), Qt::CaseInsensitive) == 0;
    }
    QString text;
    QByteArray latin1;
    bool representable = true;
};

// The value of a key line: blanks and matching quotes removed, cut to kMaxValue characters
// and at the first NUL.
QString valueOf(QByteArrayView value, const Line& line, bool utf8) {
    const bool endsBeyondHead = line.cut && line.tailLast != 0;
    QByteArrayView v = endsBeyondHead ? value : trimRight(value);
    if (!v.isEmpty() && isQuote(v.front())) {
        if (endsBeyondHead && line.tailLast == v.front())
            v = v.sliced(1);
        else if (!endsBeyondHead && v.size() >= 2 && v.back() == v.front())
            v = v.sliced(1, v.size() - 2);
    }
    QString s = decode(v, utf8);
    s.truncate(cINIFile::kMaxValue);
    const qsizetype nul = s.indexOf(QChar(0));
    if (nul >= 0) s.truncate(nul);
    return s;
}

bool isRegularFile(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

// The value of key in the first section named `section`; nothing when the file, the section
// or the key is missing.
std::optional<QString> lookup(const QString& path, const QString& section, const QString& key) {
    if (!isRegularFile(path)) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const Name wantSection(section);
    const Name wantKey(key);

    LineScanner scanner(file, cINIFile::kReadLimit);
    Line line;
    bool first = true, utf8 = false, inSection = false;
    while (scanner.next(line)) {
        QByteArrayView text = line.head;
        if (first) {
            first = false;
            if (text.startsWith(kUtf8Bom)) {
                utf8 = true;
                text = text.sliced(kUtf8Bom.size());
            }
        }
        if (!inSection) {
            // Outside the wanted section only a section header matters.
            const QByteArrayView t = trimLeft(text);
            if (t.isEmpty() || t.front() != '[') continue;
        }
        const Parsed p = classify(text);
        if (p.kind == Parsed::Section) {
            if (inSection) return std::nullopt; // only the first occurrence counts
            inSection = wantSection.matches(p.name, utf8);
        } else if (p.kind == Parsed::Key && inSection && wantKey.matches(p.name, utf8)) {
            return valueOf(p.value, line, utf8);
        }
    }
    return std::nullopt;
}

bool hasLineBreakOrNul(const QString& s) {
    return s.contains(u'\n') || s.contains(u'\r') || s.contains(QChar(0));
}

} // namespace

QString cINIFile::GetString(const QString& section, const QString& key, const QString& def) const {
    return lookup(m_filename, section, key).value_or(def);
}

qint32 cINIFile::GetNumber(const QString& section, const QString& key, qint32 def) const {
    const std::optional<QString> v = lookup(m_filename, section, key);
    return v ? ParseLeadingInt(*v) : def;
}

bool cINIFile::PutNumber(const QString& section, const QString& key, qint32 value) const {
    return PutString(section, key, QString::number(value));
}

bool cINIFile::PutString(const QString& section, const QString& key, const QString& value) const {
    const Name secName(section);
    const Name keyName(key);
    const QString& sec = secName.text;
    const QString& k = keyName.text;
    if (m_filename.isEmpty() || sec.isEmpty() || k.isEmpty()) return false;
    if (hasLineBreakOrNul(sec) || hasLineBreakOrNul(k) || hasLineBreakOrNul(value)) return false;
    if (sec.contains(u']') || k.contains(u'=') || k.startsWith(u';') || k.startsWith(u'#') ||
        k.startsWith(u'['))
        return false;

    QByteArray content;
    if (QFileInfo::exists(m_filename)) {
        if (!isRegularFile(m_filename)) return false;
        QFile in(m_filename);
        if (in.size() > kMaxRewrite || !in.open(QIODevice::ReadOnly)) return false;
        content = in.readAll();
        if (in.error() != QFileDevice::NoError) return false;
    }
    const bool utf8 = content.startsWith(kUtf8Bom);

    // A value that would lose its outer blanks or quotes on reading goes in double quotes.
    QString written = value;
    const bool outerBlank = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
    const bool quoted = value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                        value.back() == value.front();
    if (outerBlank || quoted) written = u'"' + value + u'"';

    auto encode = [utf8](const QString& s, QByteArray& out) {
        if (utf8) {
            out = s.toUtf8();
            return true;
        }
        for (QChar c : s)
            if (c.unicode() > 0xFF) return false; // not representable in 8-bit text
        out = s.toLatin1();
        return true;
    };
    QByteArray secBytes, keyLine;
    if (!encode(sec, secBytes) || !encode(k + u'=' + written, keyLine)) return false;

    // Split into lines, each keeping its line break.
    QList<QByteArray> lines;
    for (qsizetype pos = 0; pos < content.size();) {
        const qsizetype nl = content.indexOf('\n', pos);
        const qsizetype end = nl < 0 ? content.size() : nl + 1;
        lines.append(content.mid(pos, end - pos));
        pos = end;
    }
    const QByteArray eol = !lines.isEmpty() && lines.front().endsWith("\r\n") ? "\r\n" : "\n";
    auto lineBreakOf = [&eol](const QByteArray& l) {
        return l.endsWith("\r\n") ? QByteArray("\r\n") : l.endsWith('\n') ? QByteArray("\n") : eol;
    };

    enum { Before, In, After } state = Before;
    qsizetype insertAt = -1;
    qsizetype lastContent = -1;
    bool replaced = false;
    for (qsizetype i = 0; i < lines.size() && state != After && !replaced; ++i) {
        QByteArrayView text = QByteArrayView(lines[i]).first(qMin(lines[i].size(), kMaxLine));
        if (i == 0 && utf8) text = text.sliced(kUtf8Bom.size());
        const Parsed p = classify(text);
        if (p.kind == Parsed::Section) {
            if (state == In) {
                insertAt = lastContent + 1;
                state = After;
            } else if (secName.matches(p.name, utf8)) {
                state = In;
                lastContent = i;
            }
        } else if (state == In) {
            if (p.kind == Parsed::Key && keyName.matches(p.name, utf8)) {
                lines[i] = keyLine + lineBreakOf(lines[i]);
                replaced = true;
            } else if (!trim(text).isEmpty()) {
                lastContent = i;
            }
        }
    }
    if (!replaced) {
        auto terminateLast = [&](qsizetype upTo) {
            if (upTo > 0 && !lines[upTo - 1].endsWith('\n')) lines[upTo - 1].append(eol);
        };
        if (state == Before) {
            terminateLast(lines.size());
            QByteArray block;
            if (!lines.isEmpty()) block += eol;
            block += '[' + secBytes + ']' + eol + keyLine + eol;
            lines.append(block);
        } else {
            if (state == In) insertAt = lastContent + 1;
            terminateLast(insertAt);
            lines.insert(insertAt, keyLine + eol);
        }
    }

    QSaveFile out(m_filename);
    if (!out.open(QIODevice::WriteOnly)) return false;
    for (const QByteArray& l : lines) {
        if (out.write(l) != l.size()) {
            out.cancelWriting();
            return false;
        }
    }
    return out.commit();
}

} // namespace ostrand
