#include "image/PersonalityFile.h"

namespace ostrand {
namespace {

int hexDigit(char c) {
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
        block[size_t(i)] = uint8_t(16 * hexDigit(field[2 * i]) + hexDigit(field[2 * i + 1]));
    return block;
}

QByteArray FormatPersonality(const EEImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), kBlockSize).toHex().toUpper();
}

} // namespace ostrand
