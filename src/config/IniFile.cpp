#include "config/IniFile.h"

#include "common/Files.h"
#include "common/Numbers.h"

#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStringDecoder>
#include <optional>

namespace ostrand {

namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF", 3);

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

QStringView trimLeft(QStringView v) {
    while (!v.isEmpty() && isBlank(v.front()))
        v = v.sliced(1);
    return v;
}

QStringView trimRight(QStringView v) {
    while (!v.isEmpty() && isBlank(v.back()))
        v.chop(1);
    return v;
}

QStringView trim(QStringView v) {
    return trimRight(trimLeft(v));
}

bool isQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

// Names compare without regard to case.
QString folded(QStringView name) {
    return name.toString().toCaseFolded();
}

// What one line of the file is. `name` is the section or key name, `value` the value text
// after the "=" with the blanks around it removed.
struct Parsed {
    enum Kind { Ignored, Section, Key } kind = Ignored;
    QStringView name;
    QStringView value;
};

Parsed classify(QStringView line) {
    Parsed p;
    const QStringView t = trimLeft(line);
    if (t.isEmpty() || t.front() == u';' || t.front() == u'#') return p;
    if (t.front() == u'[') {
        const qsizetype close = t.lastIndexOf(u']');
        if (close < 0) return p; // not a section header, and without "=" nothing else either
        p.kind = Parsed::Section;
        p.name = trim(t.sliced(1, close - 1));
        return p;
    }
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0) return p;
    p.kind = Parsed::Key;
    p.name = trimRight(t.first(eq));
    p.value = trim(t.sliced(eq + 1));
    return p;
}

// The value as the reader gives it: matching quotes removed, cut at the first NUL and to
// kMaxValue characters.
QString valueOf(QStringView v) {
    if (v.size() >= 2 && isQuote(v.front()) && v.back() == v.front()) v = v.sliced(1, v.size() - 2);
    const qsizetype nul = v.indexOf(QChar(0));
    if (nul >= 0) v.truncate(nul);
    return v.first(qMin<qsizetype>(v.size(), cINIFile::kMaxValue)).toString();
}

// The file's text and how it was stored.
struct FileText {
    QString text;
    bool bom = false;
    bool utf8 = true;
    QString problem; // why there is no text
};

// UTF-8 when the bytes are valid UTF-8 (what every current editor writes), else Latin-1.
FileText decodeText(const QByteArray& bytes) {
    FileText t;
    QByteArrayView body(bytes);
    t.bom = body.startsWith(kUtf8Bom);
    if (t.bom) body = body.sliced(kUtf8Bom.size());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    t.text = utf8(body);
    if (utf8.hasError() && !t.bom) {
        t.utf8 = false;
        t.text = QString::fromLatin1(body);
    }
    return t;
}

// Reads the whole file; a missing one gives an empty text and a problem.
FileText readText(const QString& path) {
    const FileBytes read = ReadRegularFile(path, cINIFile::kMaxFileSize + 1);
    FileText t;
    if (!read.problem.isEmpty())
        t.problem = read.problem;
    else if (read.bytes.size() > cINIFile::kMaxFileSize)
        t.problem = QStringLiteral("larger than %1 MiB").arg(cINIFile::kMaxFileSize >> 20);
    else
        t = decodeText(read.bytes);
    return t;
}

bool hasLineBreakOrNul(const QString& s) {
    return s.contains(u'\n') || s.contains(u'\r') || s.contains(QChar(0));
}

bool isLatin1(const QString& s) {
    for (QChar c : s)
        if (c.unicode() > 0xFF) return false;
    return true;
}

} // namespace

// Every first occurrence of a section with the first occurrence of each of its keys, by
// folded name.
struct cINIFile::Document {
    QString problem;
    QHash<QString, QHash<QString, QString>> sections;
};

const cINIFile::Document& cINIFile::document() const {
    if (m_doc) return *m_doc;
    auto doc = std::make_shared<Document>();
    const FileText file = readText(m_filename);
    doc->problem = file.problem;
    QHash<QString, QString>* current = nullptr;
    for (QStringView line : QStringView(file.text).tokenize(u'\n')) {
        const Parsed p = classify(line);
        if (p.kind == Parsed::Section) {
            // Only the first occurrence counts: the keys of a repeated one are not read.
            const QString name = folded(p.name);
            current = doc->sections.contains(name) ? nullptr : &doc->sections[name];
        } else if (p.kind == Parsed::Key && current) {
            const QString name = folded(p.name);
            if (!current->contains(name)) current->insert(name, valueOf(p.value));
        }
    }
    m_doc = std::move(doc);
    return *m_doc;
}

namespace {

const QString* lookup(const QHash<QString, QHash<QString, QString>>& sections,
                      const QString& section, const QString& key) {
    const auto s = sections.constFind(folded(trim(section)));
    if (s == sections.cend()) return nullptr;
    const auto k = s->constFind(folded(trim(key)));
    return k == s->cend() ? nullptr : &*k;
}

} // namespace

QString cINIFile::GetString(const QString& section, const QString& key, const QString& def) const {
    const QString* v = lookup(document().sections, section, key);
    return v ? *v : def;
}

qint32 cINIFile::GetNumber(const QString& section, const QString& key, qint32 def) const {
    const QString* v = lookup(document().sections, section, key);
    return v ? ParseLeadingInt(*v) : def;
}

QString cINIFile::Problem() const {
    return document().problem;
}

bool cINIFile::PutNumber(const QString& section, const QString& key, qint32 value) const {
    return PutString(section, key, QString::number(value));
}

bool cINIFile::PutString(const QString& section, const QString& key, const QString& value) const {
    const QString sec = trim(section).toString();
    const QString k = trim(key).toString();
    if (m_filename.isEmpty() || sec.isEmpty() || k.isEmpty()) return false;
    if (hasLineBreakOrNul(sec) || hasLineBreakOrNul(k) || hasLineBreakOrNul(value)) return false;
    if (sec.contains(u']') || k.contains(u'=') || k.startsWith(u';') || k.startsWith(u'#') ||
        k.startsWith(u'['))
        return false;

    FileText file;
    if (QFileInfo::exists(m_filename)) {
        file = readText(m_filename);
        if (!file.problem.isEmpty()) return false;
    }

    // A value that would lose its outer blanks or quotes on reading goes in double quotes.
    QString written = value;
    const bool outerBlank = !value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()));
    const bool quoted =
        value.size() >= 2 && isQuote(value.front()) && value.back() == value.front();
    if (outerBlank || quoted) written = u'"' + value + u'"';
    const QString keyLine = k + u'=' + written;
    if (!file.utf8 && !(isLatin1(sec) && isLatin1(keyLine))) return false;

    // Lines, each keeping its line break.
    QStringList lines;
    for (qsizetype pos = 0; pos < file.text.size();) {
        const qsizetype nl = file.text.indexOf(u'\n', pos);
        const qsizetype end = nl < 0 ? file.text.size() : nl + 1;
        lines.append(file.text.mid(pos, end - pos));
        pos = end;
    }
    const QString eol = !lines.isEmpty() && lines.front().endsWith(QStringLiteral("\r\n"))
                            ? QStringLiteral("\r\n")
                            : QStringLiteral("\n");
    auto lineBreakOf = [&eol](const QString& l) {
        return l.endsWith(QStringLiteral("\r\n")) ? QStringLiteral("\r\n")
               : l.endsWith(u'\n')                ? QStringLiteral("\n")
                                                  : eol;
    };

    const QString secName = folded(sec), keyName = folded(k);
    enum { Before, In, After } state = Before;
    qsizetype insertAt = -1;
    qsizetype lastContent = -1;
    bool replaced = false;
    for (qsizetype i = 0; i < lines.size() && state != After && !replaced; ++i) {
        const Parsed p = classify(lines[i]);
        if (p.kind == Parsed::Section) {
            if (state == In) {
                insertAt = lastContent + 1;
                state = After;
            } else if (folded(p.name) == secName) {
                state = In;
                lastContent = i;
            }
        } else if (state == In) {
            if (p.kind == Parsed::Key && folded(p.name) == keyName) {
                lines[i] = keyLine + lineBreakOf(lines[i]);
                replaced = true;
            } else if (!trim(lines[i]).isEmpty()) {
                lastContent = i;
            }
        }
    }
    if (!replaced) {
        auto terminateLast = [&](qsizetype upTo) {
            if (upTo > 0 && !lines[upTo - 1].endsWith(u'\n')) lines[upTo - 1].append(eol);
        };
        if (state == Before) {
            terminateLast(lines.size());
            QString block;
            if (!lines.isEmpty()) block += eol;
            block += u'[' + sec + u']' + eol + keyLine + eol;
            lines.append(block);
        } else {
            if (state == In) insertAt = lastContent + 1;
            terminateLast(insertAt);
            lines.insert(insertAt, keyLine + eol);
        }
    }

    const QString text = lines.join(QString());
    const QByteArray bytes =
        file.utf8 ? (file.bom ? kUtf8Bom.toByteArray() : QByteArray()) + text.toUtf8()
                  : text.toLatin1();
    m_doc.reset();
    QSaveFile out(m_filename);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace ostrand
