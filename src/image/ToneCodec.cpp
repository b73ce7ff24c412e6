// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/ToneCodec.h"

#include "common/Numbers.h"
#include "dcg/Dcg.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ostrand {
namespace {

// Tone positions travel in one byte, so no list position above 255 can be stored.
constexpr int kMaxStorablePosition = 255;

bool IsReceiveHalf(int EEindex) {
    return EEindex % 8 == 0;
}

// A half spans EEindex..EEindex+3 inside the personality block; the Delta-S transmit DCG flag
// lives in the byte four places before the transmit half.
bool HalfInRange(int EEindex, bool deltaS) {
    if (EEindex < 0 || EEindex > kBlockSize - 4) return false;
    if (deltaS && !IsReceiveHalf(EEindex) && EEindex < 4) return false;
    return true;
}

int SwapNibbles(int v) {
    return ((v & 0x0F) * 16) + ((v & 0xF0) / 16);
}

QString DcgText(int32_t code) {
    return (QStringLiteral("00") + QString::number(code, 8)).right(3);
}

bool OnlySpaces(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == u' '; });
}

void SetBit(uint8_t& byte, int bit, bool on) {
    if (on)
        byte = uint8_t(byte | (1u << bit));
    else
        byte = uint8_t(byte & ~(1u << bit));
}

struct ToneBits {
    bool dcg = false;
    int mult = 0;
    int adder = 0; // the CG list position in the Delta-S format
};

float ToneError(double v, int mult, int adder) {
    return float(std::fabs(v - CTCSSToneCalc(int16_t(mult), int16_t(adder))));
}

// Generator settings for a CG tone in the Delta-SX format. A tone that is not a positive
// finite number, or so low that the settings leave the generator's integer range, is no tone.
ToneBits GeneratorSettings(double v, bool receive) {
    if (!std::isfinite(v) || v <= 0) return {};
    float t = float(1 / (v * 8));
    t = float(double(t) - 0.00007);
    const double steps = std::floor(double(t) / 0.00008);
    if (!std::isfinite(steps) || steps > 30000 || steps < -30000) return {};
    t = float(double(t) - steps * 0.00008);
    const double fine = std::floor(double(t) / 0.0000025);
    if (!std::isfinite(fine) || fine > 64 || fine < -64) return {};
    int m = 23 - int(steps);
    int a = int(fine);

    float best = 0;
    auto consider = [&](int x, int y) {
        const float err = ToneError(v, x, y);
        if (err < best) {
            best = err;
            m = x;
            a = y;
        }
    };
    if (receive) {
        a &= 0x1E; // receive adders are even
        best = ToneError(v, m, a);
        const int m0 = m, a0 = a;
        if (a0 >= 30) consider(m0 - 1, 0);
        if (a0 < 30) consider(m0, a0 + 2);
        if (a0 > 1) consider(m0, a0 - 2);
        if (a0 <= 1) consider(m0 + 1, 30);
    } else {
        best = ToneError(v, m, a);
        const int m0 = m, a0 = a;
        if (a0 == 31) consider(m0 - 1, 0);
        if (a0 < 31) consider(m0, a0 + 1);
        if (a0 > 0) consider(m0, a0 - 1);
        if (a0 == 0) consider(m0 + 1, 31);
    }
    return {false, std::clamp(m, 1, 18), std::clamp(a, 0, 32)};
}

// Nearest CG list position within 20 Hz (first one on ties), or 0 for none.
int ListPosition(double v, const std::vector<float>& list) {
    const int count = std::min<int>(int(list.size()), kMaxStorablePosition);
    float best = 9999;
    int position = 0;
    for (int k = 1; k <= count; ++k) {
        const float d = float(std::fabs(v - double(list[size_t(k - 1)])));
        if (d < best) {
            best = d;
            position = k;
        }
    }
    return double(best) < 20.0 ? position : 0;
}

} // namespace

double CTCSSToneCalc(int16_t mult, int16_t adder) {
    const int16_t steps = int16_t(23 - mult);
    return 1 / (steps * 0.00008 + adder * 0.0000025 + 0.00007) / 8;
}

QString EEDecodeTone(const EEImage& image, int EEindex, const CodecContext& ctx) {
    const bool deltaS = IsDeltaS(ctx.CurRadioID);
    if (!HalfInRange(EEindex, deltaS)) return {};
    const bool receive = IsReceiveHalf(EEindex);
    const int h0 = image[size_t(EEindex)];
    const int h2 = image[size_t(EEindex + 2)];
    const int h3 = image[size_t(EEindex + 3)];
    if (h3 == 0) return {};

    const bool inverted = receive ? ctx.DCGInvertRx : ctx.DCGInvertTx;
    bool dcg;
    if (!deltaS || receive)
        dcg = h0 & 0x80;
    else
        dcg = image[size_t(EEindex - 4)] & 0x40;

    if (dcg) {
        const int s = SwapNibbles(h3);
        if (s == 0xFF) return {};
        return DcgText(DCGFindCommonCode(s, inverted, ctx.DCGList));
    }
    if (!deltaS) {
        const int mult = (h0 & 0x10) + (h3 & 0x0F);
        int adder = (h3 >> 4) * 2;
        if (!receive) adder += (h2 >> 2) & 1;
        const float tone = float(CTCSSToneCalc(int16_t(mult), int16_t(adder)));
        return FormatPattern(tone, u"###.0");
    }
    const int p = SwapNibbles(h3);
    if (p < 1 || p > int(ctx.CGList.size())) return {};
    return FormatPattern(ctx.CGList[size_t(p - 1)], u"###.0");
}

void eeEncodeTone(EEImage& image, int EEindex, const QString& text, const CodecContext& ctx) {
    const bool deltaS = IsDeltaS(ctx.CurRadioID);
    if (!HalfInRange(EEindex, deltaS)) return;
    const bool receive = IsReceiveHalf(EEindex);

    ToneBits bits;
    if (OnlySpaces(text)) {
        // no tone
    } else if (!text.contains(u'.')) {
        const bool inverted = receive ? ctx.DCGInvertRx : ctx.DCGInvertTx;
        const int32_t s = DCGFindEightBitCode(ParseOctal(text), inverted);
        bits.dcg = true;
        bits.adder = (s & 0x0F) * 2;
        bits.mult = (s & 0xF0) / 16;
    } else if (deltaS) {
        bits.adder = ListPosition(ParseLenient(text), ctx.CGList);
    } else {
        bits = GeneratorSettings(ParseLenient(text), receive);
    }

    uint8_t& h0 = image[size_t(EEindex)];
    uint8_t& h2 = image[size_t(EEindex + 2)];
    uint8_t& h3 = image[size_t(EEindex + 3)];
    if (deltaS) {
        if (receive)
            SetBit(h0, 7, bits.dcg);
        else
            SetBit(image[size_t(EEindex - 4)], 6, bits.dcg);
        if (bits.dcg)
            h3 = uint8_t(((bits.adder & 0x1E) * 8) + (bits.mult & 0x0F));
        else
            h3 = uint8_t(SwapNibbles(bits.adder));
    } else {
        SetBit(h0, 7, bits.dcg);
        SetBit(h0, 4, bits.mult & 0x10);
        h3 = uint8_t(((bits.adder & 0x1E) * 8) + (bits.mult & 0x0F));
        if (!receive) SetBit(h2, 2, bits.adder & 1);
    }
}

QString ToneEntry(EEImage& image, int EEindex, const QString& typed, const CodecContext& ctx) {
    QString text = typed;
    if (!text.contains(u'.')) {
        const int32_t c = DCGFindCommonCode(ParseOctal(text), false, ctx.DCGList);
        if (c != 0) text = DcgText(c);
    }
    eeEncodeTone(image, EEindex, text, ctx);
    return EEDecodeTone(image, EEindex, ctx);
}

} // namespace ostrand
