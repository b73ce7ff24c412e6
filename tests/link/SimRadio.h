// The clock scales and the radio contents shared by the tests that run the simulated RIB.
#pragma once

#include "link/RibProtocol.h"

#include <QFile>

namespace ostrand {

// A twentieth of real time, and a tenth for answers that must come within one wait on a busy
// machine.
constexpr double kFast = 0.05, kTenth = 0.1;

// The simulator keeps its radio as the 128 bytes in upper-case hex.
inline QByteArray Digits(const Block& block) {
    return QByteArray(reinterpret_cast<const char*>(block.data()), kBlockSize).toHex().toUpper();
}

inline Block Pattern(int seed) {
    Block b;
    for (int i = 0; i < kBlockSize; ++i)
        b[size_t(i)] = static_cast<uint8_t>(i * 13 + seed);
    return b;
}

inline QString WriteRadioFile(const QString& path, const Block& block) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(Digits(block));
    return path;
}

} // namespace ostrand
