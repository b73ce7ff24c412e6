// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Numbers.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace ostrand {
namespace {

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}
bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Length of the numeric prefix of an ASCII text: sign, digits, one point, exponent.
size_t NumericPrefix(const std::string& s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
            ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        size_t expDigits = 0;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
            ++j, ++expDigits;
        if (expDigits > 0) i = j;
    }
    return i;
}

// from_chars neither takes a leading '+' nor depends on the locale.
std::optional<double> ToDouble(const std::string& s, size_t len) {
    size_t start = (len > 0 && s[0] == '+') ? 1 : 0;
    double v = 0;
    auto [ptr, ec] = std::from_chars(s.data() + start, s.data() + len, v);
    if (ec != std::errc() || ptr != s.data() + len || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::string ToLatin(QStringView text, bool dropBlanks) {
    std::string s;
    s.reserve(size_t(text.size()));
    for (QChar c : text) {
        if (dropBlanks && IsBlank(c)) continue;
        s.push_back(c.unicode() < 128 ? char(c.unicode()) : '?');
    }
    return s;
}

} // namespace

double ParseLenient(QStringView text) {
    const std::string s = ToLatin(text, true);
    const size_t len = NumericPrefix(s);
    if (len == 0) return 0.0;
    return ToDouble(s, len).value_or(0.0);
}

std::optional<double> ParseStrict(QStringView text) {
    const std::string s = ToLatin(text.trimmed(), false);
    const size_t len = NumericPrefix(s);
    if (len == 0 || len != s.size()) return std::nullopt;
    return ToDouble(s, len);
}

int ParseOctal(QStringView text) {
    int v = 0;
    for (QChar c : text) {
        if (IsBlank(c)) continue;
        if (c < u'0' || c > u'7') break;
        if (v > (std::numeric_limits<int>::max() >> 3)) return std::numeric_limits<int>::max();
        v = v * 8 + (c.unicode() - u'0');
    }
    return v;
}

int ParseHexField(QStringView text, int width) {
    int v = 0;
    for (QChar c : text.left(width)) {
        if (IsBlank(c)) continue;
        int d;
        if (IsDigit(c))
            d = c.unicode() - u'0';
        else if (c >= u'A' && c <= u'F')
            d = c.unicode() - u'A' + 10;
        else if (c >= u'a' && c <= u'f')
            d = c.unicode() - u'a' + 10;
        else
            break;
        v = v * 16 + d;
    }
    return v;
}

qint32 ParseLeadingInt(QStringView text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == u'-') negative = true, ++i;
    qint64 v = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        v = v * 10 + (text[i].unicode() - u'0');
        if (v > qint64(std::numeric_limits<qint32>::max()) + 1) break;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<qint32>::max()) return std::numeric_limits<qint32>::max();
    if (v < std::numeric_limits<qint32>::min()) return std::numeric_limits<qint32>::min();
    return qint32(v);
}

QString FormatPattern(double value, QStringView pattern) {
    if (!std::isfinite(value)) return {};
    const qsizetype point = pattern.indexOf(u'.');
    const QStringView intPart = point < 0 ? pattern : pattern.left(point);
    const int decimals = point < 0 ? 0 : int(pattern.size() - point - 1);
    const int mandatory = int(intPart.count(u'0'));

    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(std::fabs(value) * scale) / scale; // half away from zero
    // Scaling a huge value overflows; it has no fraction to round anyway.
    if (!std::isfinite(rounded)) rounded = std::fabs(value);
    const bool negative = value < 0 && rounded != 0.0;
    QString digits = QString::number(rounded, 'f', decimals);
    QString whole = point < 0 ? digits : digits.left(digits.indexOf(u'.'));
    QString frac = decimals > 0 ? digits.mid(digits.indexOf(u'.') + 1) : QString();
    while (whole.size() > mandatory && whole.startsWith(u'0'))
        whole.remove(0, 1);
    while (whole.size() < mandatory)
        whole.prepend(u'0');
    QString out = negative ? QStringLiteral("-") : QString();
    out += whole;
    if (decimals > 0) out += u'.' + frac;
    return out;
}

} // namespace ostrand
