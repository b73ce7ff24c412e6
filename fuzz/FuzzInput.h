// SPDX-License-Identifier: GPL-3.0-or-later
// Splits a fuzz input into fields, so one input drives several texts and numbers.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace ostrand::fuzz {

// A failed property: print what broke and abort, so the fuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "property failed: %s %s\n", what, qPrintable(detail));
    std::abort();
}

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size)
        : text_(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)) {}

    // The next field: text up to the next '|' (Latin-1), or the rest.
    QString Text() { return QString::fromLatin1(Bytes()); }
    QByteArray Bytes() {
        if (at_ >= text_.size()) return {};
        qsizetype end = text_.indexOf('|', at_);
        if (end < 0) end = text_.size();
        const QByteArray field = text_.mid(at_, end - at_);
        at_ = end + 1;
        return field;
    }
    // The next field's first byte (0 when it is empty).
    int Byte() {
        const QByteArray field = Bytes();
        return field.isEmpty() ? 0 : static_cast<uint8_t>(field[0]);
    }

private:
    QByteArray text_;
    qsizetype at_ = 0;
};

} // namespace ostrand::fuzz
