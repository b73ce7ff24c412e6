// SPDX-License-Identifier: GPL-3.0-or-later
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

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

QStringView TrimLeft(QStringView v) {
    while (!v.isEmpty() && IsBlank(v.front()))
        v = v.sliced(1);
    return v;
}

QStringView TrimRight(QStringView v) {
    while (!v.isEmpty() && IsBlank(v.back()))
        v.chop(1);
    return v;
}

QStringView Trim(QStringView v) {
    return TrimRight(TrimLeft(v));
}

bool IsQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

// Names compare without regard to case.
QString Folded(QStringView name) {
    return name.toString().toCaseFolded();
}

// What one line of the file is. `name` is the section or key name, `value` the value text
// after the "=" with the blanks around it removed.
struct Parsed {
    enum Kind { Ignored, Section, Key } kind = Ignored;
    QStringView name;
    QStringView value;
};

Parsed Classify(QStringView line) {
    Parsed p;
    const QStringView t = TrimLeft(line);
    if (t.isEmpty() || t.front() == u';' || t.front() == u'#') return p;
    if (t.front() == u'[') {
        const qsizetype close = t.lastIndexOf(u']');
        if (close < 0) return p; // not a section header, and without "=" nothing else either
        p.kind = Parsed::Section;
        p.name = Trim(t.sliced(1, close - 1));
        return p;
    }
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0) return p;
    p.kind = Parsed::Key;
    p.name = TrimRight(t.first(eq));
    p.value = Trim(t.sliced(eq + 1));
    return p;
}

// The value as the reader gives it: matching quotes removed, cut at the first NUL and to
// kMaxValue characters.
QString ValueOf(QStringView v) {
    if (v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front()) v = v.sliced(1, v.size() - 2);
    const qsizetype nul = v.indexOf(QChar(0));
    if (nul >= 0) v.truncate(nul);
    return v.first(qMin<qsizetype>(v.size(), IniFile::kMaxValue)).toString();
}

// The file's text and how it was stored.
struct FileText {
    QString text;
    bool bom = false;
    bool utf8 = true;
    QString problem; // why there is no text
};

// UTF-8 when the bytes are valid UTF-8 (what every current editor writes), else Latin-1.
FileText DecodeText(const QByteArray& bytes) {
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
FileText ReadText(const QString& path) {
    const FileBytes read = ReadRegularFile(path, IniFile::kMaxFileSize + 1);
    FileText t;
    if (!read.problem.isEmpty())
        t.problem = read.problem;
    else if (read.bytes.size() > IniFile::kMaxFileSize)
        t.problem = QStringLiteral("larger than %1 MiB").arg(IniFile::kMaxFileSize >> 20);
    else
        t = DecodeText(read.bytes);
    return t;
}

bool HasLineBreakOrNul(const QString& s) {
    return s.contains(u'\n') || s.contains(u'\r') || s.contains(QChar(0));
}

bool IsLatin1(const QString& s) {
    for (QChar c : s)
        if (c.unicode() > 0xFF) return false;
    return true;
}

} // namespace

// Every first occurrence of a section with the first occurrence of each of its keys, by
// folded name.
struct IniFile::Document {
    QString problem;
    QHash<QString, QHash<QString, QString>> sections;
};

const IniFile::Document& IniFile::Loaded() const {
    if (doc_) return *doc_;
    auto doc = std::make_shared<Document>();
    const FileText file = ReadText(filename_);
    doc->problem = file.problem;
    QHash<QString, QString>* current = nullptr;
    for (QStringView line : QStringView(file.text).tokenize(u'\n')) {
        const Parsed p = Classify(line);
        if (p.kind == Parsed::Section) {
            // Only the first occurrence counts: the keys of a repeated one are not read.
            const QString name = Folded(p.name);
            current = doc->sections.contains(name) ? nullptr : &doc->sections[name];
        } else if (p.kind == Parsed::Key && current) {
            const QString name = Folded(p.name);
            if (!current->contains(name)) current->insert(name, ValueOf(p.value));
        }
    }
    doc_ = std::move(doc);
    return *doc_;
}

namespace {

const QString* Lookup(const QHash<QString, QHash<QString, QString>>& sections,
                      const QString& section, const QString& key) {
    const auto s = sections.constFind(Folded(Trim(section)));
    if (s == sections.cend()) return nullptr;
    const auto k = s->constFind(Folded(Trim(key)));
    return k == s->cend() ? nullptr : &*k;
}

} // namespace

QString IniFile::GetString(const QString& section, const QString& key, const QString& def) const {
    const QString* v = Lookup(Loaded().sections, section, key);
    return v ? *v : def;
}

qint32 IniFile::GetNumber(const QString& section, const QString& key, qint32 def) const {
    const QString* v = Lookup(Loaded().sections, section, key);
    return v ? ParseLeadingInt(*v) : def;
}

QString IniFile::Problem() const {
    return Loaded().problem;
}

bool IniFile::PutNumber(const QString& section, const QString& key, qint32 value) const {
    return PutString(section, key, QString::number(value));
}

bool IniFile::PutString(const QString& section, const QString& key, const QString& value) const {
    const QString sec = Trim(section).toString();
    const QString k = Trim(key).toString();
    if (filename_.isEmpty() || sec.isEmpty() || k.isEmpty()) return false;
    if (HasLineBreakOrNul(sec) || HasLineBreakOrNul(k) || HasLineBreakOrNul(value)) return false;
    if (sec.contains(u']') || k.contains(u'=') || k.startsWith(u';') || k.startsWith(u'#') ||
        k.startsWith(u'['))
        return false;

    FileText file;
    if (QFileInfo::exists(filename_)) {
        file = ReadText(filename_);
        if (!file.problem.isEmpty()) return false;
    }

    // A value that would lose its outer blanks or quotes on reading goes in double quotes.
    QString written = value;
    const bool outerBlank = !value.isEmpty() && (IsBlank(value.front()) || IsBlank(value.back()));
    const bool quoted =
        value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front();
    if (outerBlank || quoted) written = u'"' + value + u'"';
    const QString keyLine = k + u'=' + written;
    if (!file.utf8 && !(IsLatin1(sec) && IsLatin1(keyLine))) return false;

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

    const QString secName = Folded(sec), keyName = Folded(k);
    enum { Before, In, After } state = Before;
    qsizetype insertAt = -1;
    qsizetype lastContent = -1;
    bool replaced = false;
    for (qsizetype i = 0; i < lines.size() && state != After && !replaced; ++i) {
        const Parsed p = Classify(lines[i]);
        if (p.kind == Parsed::Section) {
            if (state == In) {
                insertAt = lastContent + 1;
                state = After;
            } else if (Folded(p.name) == secName) {
                state = In;
                lastContent = i;
            }
        } else if (state == In) {
            if (p.kind == Parsed::Key && Folded(p.name) == keyName) {
                lines[i] = keyLine + lineBreakOf(lines[i]);
                replaced = true;
            } else if (!Trim(lines[i]).isEmpty()) {
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
    doc_.reset();
    QSaveFile out(filename_);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace ostrand
