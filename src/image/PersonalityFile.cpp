// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/PersonalityFile.h"

#include "common/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace ostrand {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0; // tolerated: a stray character reads as the digit 0
}

} // namespace

QByteArray FirstField(const QByteArray& content) {
    qsizetype i = 0;
    while (i < content.size() && (content[i] == ' ' || content[i] == '\t'))
        ++i;
    if (i < content.size() && content[i] == '"') {
        const qsizetype start = i + 1;
        const qsizetype close = content.indexOf('"', start);
        return content.mid(start, close < 0 ? -1 : close - start);
    }
    qsizetype end = i;
    while (end < content.size() && content[end] != ',' && content[end] != '\r' &&
           content[end] != '\n')
        ++end;
    return content.mid(i, end - i);
}

std::optional<std::array<uint8_t, kBlockSize>> ParsePersonality(const QByteArray& content) {
    const QByteArray field = FirstField(content);
    if (field.size() != kPersonalityDigits) return std::nullopt;
    std::array<uint8_t, kBlockSize> block{};
    for (int i = 0; i < kBlockSize; ++i)
        block[size_t(i)] = uint8_t(16 * HexDigit(field[2 * i]) + HexDigit(field[2 * i + 1]));
    return block;
}

QByteArray FormatPersonality(const EEImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), kBlockSize).toHex().toUpper();
}

PersonalityRead ReadPersonalityFile(const QString& path) {
    PersonalityRead result;
    const FileBytes read = ReadRegularFile(path, kPersonalityReadLimit);
    result.reason = read.problem;
    if (!read.problem.isEmpty()) return result;
    if (read.bytes.isEmpty()) {
        result.status = PersonalityRead::Empty;
        return result;
    }
    const auto bytes = ParsePersonality(read.bytes);
    if (!bytes) {
        result.status = PersonalityRead::Invalid;
        return result;
    }
    result.bytes = *bytes;
    result.status = PersonalityRead::Ok;
    return result;
}

QString WritePersonalityFile(const QString& path, const EEImage& image) {
    // A device, a FIFO or a folder would be replaced by a regular file (as root, even
    // /dev/null): only regular files are written over.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) return QStringLiteral("not a regular file");
    const QByteArray digits = FormatPersonality(image);
    QSaveFile file(path);
    QString reason;
    // Unbuffered, so a short write (disk full, file size limit) shows in write()'s count;
    // a buffered write can lose the tail and still commit.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = file.errorString();
    } else {
        const qint64 written = file.write(digits);
        if (written != digits.size()) {
            reason = written < 0 ? file.errorString()
                                 : QStringLiteral("the file could not be written completely");
            file.cancelWriting();
        } else if (!file.commit()) {
            reason = file.errorString();
        }
    }
    if (!reason.isNull() && reason.isEmpty()) reason = QStringLiteral("unknown error");
    return reason;
}

QString ReadProblem(const QString& path, const PersonalityRead& read) {
    const QString name = QDir::toNativeSeparators(path);
    switch (read.status) {
    case PersonalityRead::Unreadable:
        return QStringLiteral("cannot read %1: %2").arg(name, read.reason);
    case PersonalityRead::Empty:
        return QStringLiteral("%1 is empty").arg(name);
    case PersonalityRead::Invalid:
        return QStringLiteral("%1: Invalid Input File (a personality file holds 256 hexadecimal "
                              "digits)")
            .arg(name);
    case PersonalityRead::Ok:
        break;
    }
    return {};
}

} // namespace ostrand
