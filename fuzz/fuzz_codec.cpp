// SPDX-License-Identifier: GPL-3.0-or-later
// The tone and frequency encoders on arbitrary texts and radio-wide values: a record is
// rebuilt from scratch (what the image held before does not matter), no byte outside the
// record changes, and the decoders read whatever the encoders left.
#include "FuzzInput.h"
#include "common/Numbers.h"
#include "image/FreqCodec.h"
#include "image/RecordCodec.h"
#include "image/ToneCodec.h"

#include <algorithm>

using namespace ostrand;

namespace {

void ExpectOnlyRecordChanged(const EEImage& before, const EEImage& after, int EEindex,
                             const char* what) {
    for (int i = 0; i < kImageSize; ++i)
        if ((i < EEindex || i >= EEindex + 8) && before[size_t(i)] != after[size_t(i)])
            fuzz::Fail(what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);

    // The radio-wide values read from arbitrary field texts, as the window reads them.
    RadioFields fields;
    const int cpu = in.Byte();
    fields.CurRadioID = static_cast<int16_t>(cpu % 3 == 0   ? kDeltaS
                                             : cpu % 3 == 1 ? kDeltaSX
                                                            : cpu);
    fields.RefFreq = in.Text();
    fields.IFFreq = in.Text();
    fields.RxMult = in.Text();
    fields.TxMult = in.Text();
    const int flags = in.Byte();
    fields.InjectionHi = flags & 1;
    fields.DCGInvertRx = flags & 2;
    fields.DCGInvertTx = flags & 4;
    CodecContext ctx;
    static_cast<RadioValues&>(ctx) = ReadRadioValues(fields);
    const QByteArray dividers = in.Bytes();
    for (int k = 1; k < 8 && k <= dividers.size(); ++k)
        ctx.Dividers[size_t(k)] = static_cast<int16_t>(static_cast<int8_t>(dividers[k - 1]) * 97);
    for (const QString& code : in.Text().split(',', Qt::SkipEmptyParts))
        ctx.DCGList.push_back(static_cast<int16_t>(ParseOctal(code)));
    for (const QString& tone : in.Text().split(',', Qt::SkipEmptyParts))
        ctx.CGList.push_back(static_cast<float>(ParseLenient(tone)));

    ChannelRow row;
    row.RxFreq = in.Text();
    row.TxFreq = in.Text();
    row.RxTone = in.Text();
    row.TxTone = in.Text();
    const int rowBits = in.Byte();
    row.RefIndex = in.Byte() - 2;
    row.CCT = in.Byte() - 2;
    row.STE = rowBits & 1;
    row.RxW = rowBits & 2;
    row.RxZ = rowBits & 4;
    row.TxW = rowBits & 8;
    row.TxZ = rowBits & 16;
    const int EEindex = (in.Byte() % 16) * 8;
    const QString typed = in.Text();

    EEImage zeros{};
    EEImage ones;
    ones.fill(0xFF);
    EEImage pattern;
    for (int i = 0; i < kImageSize; ++i)
        pattern[size_t(i)] = static_cast<uint8_t>(i * 37 + 11);

    // The record does not depend on what was there before.
    EEImage a = zeros, b = ones, c = pattern;
    EEEncode(a, EEindex, row, ctx);
    EEEncode(b, EEindex, row, ctx);
    EEEncode(c, EEindex, row, ctx);
    ExpectOnlyRecordChanged(zeros, a, EEindex, "record encode wrote outside the record");
    ExpectOnlyRecordChanged(ones, b, EEindex, "record encode wrote outside the record");
    ExpectOnlyRecordChanged(pattern, c, EEindex, "record encode wrote outside the record");
    if (!std::equal(a.begin() + EEindex, a.begin() + EEindex + 8, b.begin() + EEindex) ||
        !std::equal(a.begin() + EEindex, a.begin() + EEindex + 8, c.begin() + EEindex))
        fuzz::Fail("record encode kept bits of the old record");
    const ChannelRow shown = EEDecode(c, EEindex, ctx);
    if (shown.RefIndex < 0 || shown.RefIndex > 7) fuzz::Fail("reference code beyond three bits");

    // Tone entry on both halves of the record, over whatever the record holds.
    for (int half : {EEindex, EEindex + 4}) {
        const EEImage before = c;
        eeEncodeTone(c, half, typed, ctx);
        ExpectOnlyRecordChanged(before, c, EEindex, "tone encode wrote outside the record");
        const QString text = ToneEntry(c, half, typed, ctx);
        ExpectOnlyRecordChanged(before, c, EEindex, "tone entry wrote outside the record");
        if (text != EEDecodeTone(c, half, ctx)) fuzz::Fail("tone entry shows another text");
        // The field shows what the image holds: entering that text again shows it again.
        // (With the invert box set a code may settle only on the second entry: the decoder
        // falls back to the complement family when the inverted one has no listed code.)
        if (half % 8 == 0 ? ctx.DCGInvertRx : ctx.DCGInvertTx) continue;
        const EEImage shownOnce = c;
        ToneEntry(c, half, text, ctx);
        if (const QString again = EEDecodeTone(c, half, ctx); again != text)
            fuzz::Fail("tone text does not re-enter",
                       "'" + typed + "' shows '" + text + "', entered again shows '" + again +
                           "', CPU " + QString::number(ctx.CurRadioID) + ", half " +
                           QString::number(half));
        ExpectOnlyRecordChanged(shownOnce, c, EEindex, "tone re-entry wrote outside the record");
    }
    EEDecode(c, EEindex, ctx);

    // The frequency encoder alone, on the typed text as MHz.
    int16_t N = 0, A = 0;
    const int16_t div = ctx.Dividers[size_t(std::clamp(row.RefIndex, 1, 7))];
    EEEncodeFreq(static_cast<float>(ParseLenient(typed)), div, ctx.RefFreq, N, A);
    const EEImage beforeWord = c;
    WriteSynthWord(c, EEindex + 4, N, A);
    ExpectOnlyRecordChanged(beforeWord, c, EEindex, "synthesizer word wrote outside the record");
    EEDecodeFreq(c, EEindex + 4, div, ctx.RefFreq, ctx.CurRadioID);
    return 0;
}
