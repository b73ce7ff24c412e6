// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/RecordCodec.h"

#include "common/Numbers.h"
#include "image/FreqCodec.h"
#include "image/ToneCodec.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace ostrand {
namespace {

constexpr auto kFreqPattern = u"####.0000";

struct Dividers {
    int16_t rx = 0;
    int16_t tx = 0;
};

Dividers DividersFor(int k, const DividerTable& t) {
    return {HalfDivider(k, false, t), HalfDivider(k, true, t)};
}

int CctCount(int16_t curRadioID) {
    if (curRadioID == kDeltaSX) return 7;
    if (curRadioID == kDeltaS) return 15;
    return 0;
}

int CctStep(int16_t curRadioID) {
    return curRadioID == kDeltaS ? 15 : 30;
}

// The counter pair for a synthesizer frequency computed in double precision. A value that
// is not a number or does not fit a float (zero multiplier, absurd fields) is no frequency.
void EncodeSynth(double synth, int16_t div, double refFreq, int16_t& N, int16_t& A) {
    if (!std::isfinite(synth) || std::fabs(synth) > double(std::numeric_limits<float>::max())) {
        N = 0;
        A = 0;
        return;
    }
    EEEncodeFreq(float(synth), div, refFreq, N, A);
}

} // namespace

int16_t HalfDivider(int k, bool transmit, const DividerTable& t) {
    if (k < 0 || k > 7) return 0;
    // Reference code 0 names two steps: the receive half uses T[3], the transmit half T[1].
    if (k == 0) return transmit ? t[1] : t[3];
    return t[size_t(k)];
}

ChannelRow EEDecode(const EEImage& image, int EEindex, const CodecContext& ctx) {
    ChannelRow row;
    if (!IsRecordIndex(EEindex)) return row;
    const size_t at = size_t(EEindex);
    const uint8_t b0 = image[at], b2 = image[at + 2], b4 = image[at + 4];
    const bool deltaS = IsDeltaS(ctx.CurRadioID);

    const int k = b0 & 7;
    const Dividers div = DividersFor(k, ctx.Dividers);

    if (deltaS) {
        row.RxW = row.RxZ = row.TxW = row.TxZ = false;
        row.WZEnabled = false;
    } else {
        row.WZEnabled = true;
        row.RxW = b0 & 0x40;
        row.RxZ = b0 & 0x20;
        row.TxW = b4 & 0x40;
        row.TxZ = b4 & 0x20;
    }

    // The stored bit means "STE off".
    row.STE = deltaS ? !(b0 & 0x20) : !(b2 & 0x04);

    // A timer code the current CPU's list does not offer shows as "Off" and is kept.
    const int cct = deltaS ? (b4 >> 4) : (b4 & 7);
    const bool listed = cct <= CctCount(ctx.CurRadioID);
    row.CCT = listed ? cct : 0;
    row.KeptCCT = listed ? -1 : cct;

    row.RefIndex = k;
    // A divider of 0 decodes as no frequency.
    const float fr = EEDecodeFreq(image, EEindex, div.rx, ctx.RefFreq, ctx.CurRadioID);
    const float ft = EEDecodeFreq(image, EEindex + 4, div.tx, ctx.RefFreq, ctx.CurRadioID);

    // A multiplier or IF that is not a number: the frequency cannot be known, so the field
    // stays empty rather than showing a made-up value.
    if (fr != 0.0f && ctx.RxMult && ctx.IFFreq) {
        const double synth = *ctx.RxMult * double(fr);
        row.RxFreq = FormatPattern(ctx.InjectionHi ? synth - *ctx.IFFreq : synth + *ctx.IFFreq,
                                   kFreqPattern);
    }
    if (ft != 0.0f) row.TxFreq = FormatPattern(double(ft) * ctx.TxMult, kFreqPattern);

    row.RxTone = EEDecodeTone(image, EEindex, ctx);
    row.TxTone = EEDecodeTone(image, EEindex + 4, ctx);
    return row;
}

void EEEncode(EEImage& image, int EEindex, const ChannelRow& row, const CodecContext& ctx) {
    if (!IsRecordIndex(EEindex)) return;
    const size_t at = size_t(EEindex);
    const bool deltaS = IsDeltaS(ctx.CurRadioID);

    for (size_t i = 0; i < 8; ++i)
        image[at + i] = 0;

    // Three bits hold the reference code; no selection or a position beyond them is code 0.
    const int k = (row.RefIndex >= 0 && row.RefIndex <= 7) ? row.RefIndex : 0;
    const Dividers div = DividersFor(k, ctx.Dividers);

    eeEncodeTone(image, EEindex, row.RxTone, ctx);

    int16_t N = 1023, A = 63; // the "no reference" pattern
    if (div.rx != 0 && (row.RxFreq.trimmed().isEmpty() || !ctx.RxMult || !ctx.IFFreq)) {
        // An empty field is no frequency on either injection side; on the high side the
        // arithmetic would otherwise store the IF itself, a receive frequency of about 0. (The
        // program encodes nothing while IF Freq. or Rx Mult. is no number.)
        N = A = 0;
    } else if (div.rx != 0) {
        const double rx = ParseLenient(row.RxFreq);
        const double synth =
            ctx.InjectionHi ? (rx + *ctx.IFFreq) / *ctx.RxMult : (rx - *ctx.IFFreq) / *ctx.RxMult;
        EncodeSynth(synth, div.rx, ctx.RefFreq, N, A);
    }

    if (deltaS) {
        if (!row.STE) image[at] |= 0x20;
    } else {
        if (row.RxW) image[at] |= 0x40;
        if (row.RxZ) image[at] |= 0x20;
    }
    image[at] |= uint8_t(k);
    WriteSynthWord(image, EEindex, N, A);
    if (!deltaS && !row.STE) image[at + 2] |= 0x04;

    eeEncodeTone(image, EEindex + 4, row.TxTone, ctx);

    N = 1023;
    A = 63;
    if (div.tx != 0) {
        EncodeSynth(ParseLenient(row.TxFreq) / ctx.TxMult, div.tx, ctx.RefFreq, N, A);
    }

    if (!deltaS) {
        if (row.TxW) image[at + 4] |= 0x40;
        if (row.TxZ) image[at + 4] |= 0x20;
    }
    // No selection stores "Off"; other positions keep only the bits the format has for them.
    const int c = row.KeptCCT >= 0 ? row.KeptCCT : std::max(row.CCT, 0);
    if (deltaS)
        image[at + 4] |= uint8_t((c & 0x0F) << 4);
    else
        image[at + 4] |= uint8_t(c & 0x07);
    WriteSynthWord(image, EEindex + 4, N, A);
}

std::vector<ChannelRow> DecodeAll(const EEImage& image, const CodecContext& ctx) {
    std::vector<ChannelRow> rows;
    rows.reserve(kChannels);
    for (int ch = 1; ch <= kChannels; ++ch)
        rows.push_back(EEDecode(image, EEindexForChannel(ch), ctx));
    return rows;
}

void EncodeAll(EEImage& image, const std::vector<ChannelRow>& rows, const CodecContext& ctx) {
    const int count = std::min(int(rows.size()), kChannels);
    for (int i = 0; i < count; ++i)
        EEEncode(image, EEindexForChannel(i + 1), rows[size_t(i)], ctx);
}

QString CpuLabelText(int16_t curRadioID, int16_t curRevision) {
    if (curRadioID == kDeltaSX)
        return QStringLiteral("Delta-SX CPU - Revision %1").arg(curRevision);
    if (curRadioID == kDeltaS) return QStringLiteral("Delta-S CPU - Revision %1").arg(curRevision);
    if (curRadioID == 0 || curRadioID == 255) return QStringLiteral("No Radio Connected");
    return QStringLiteral("CPU Type Unknown. ID: %1 - Revision %2")
        .arg(curRadioID)
        .arg(curRevision);
}

QStringList CctItems(int16_t curRadioID) {
    QStringList items{QStringLiteral("Off")};
    const int step = CctStep(curRadioID);
    for (int j = 0; j < CctCount(curRadioID); ++j)
        items << QStringLiteral("%1 Sec").arg(step * j + 30);
    return items;
}

} // namespace ostrand
