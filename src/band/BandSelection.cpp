// SPDX-License-Identifier: GPL-3.0-or-later
#include "band/BandSelection.h"

#include "common/Numbers.h"
#include "image/EEImage.h"

namespace ostrand {

namespace {

const QString kDisabled = QStringLiteral("Disabled");

// F x 1000 / R as "#.000"; nothing for a divider of 0.
QString KiloHertz(double refMHz, int16_t divider) {
    if (divider == 0) return {};
    return FormatPattern(refMHz * 1000.0 / divider, u"#.000");
}

} // namespace

QStringList ReferenceListItems(double f, const DividerTable& dividers, int16_t curRadioID) {
    const bool deltaS = IsDeltaS(curRadioID);
    QStringList items;
    items.reserve(kReferenceItems);

    if (deltaS) {
        items << kDisabled;
    } else {
        const QString tx = KiloHertz(f, dividers[1]);
        const QString rx = KiloHertz(f, dividers[3]);
        items << ((tx.isEmpty() || rx.isEmpty()) ? kDisabled
                                                 : tx + u'/' + rx + QStringLiteral("kHz"));
    }
    for (int j = 1; j <= 6; ++j) {
        const QString k = KiloHertz(f, dividers[j]);
        items << (k.isEmpty() ? kDisabled : k + QStringLiteral("kHz"));
    }
    if (deltaS) {
        const QString k = KiloHertz(f, dividers[7]);
        items << (k.isEmpty() ? kDisabled : k + QStringLiteral("kHz"));
    } else {
        items << kDisabled;
    }
    return items;
}

BandFields BandFieldsFor(const RadioDefinition& def) {
    return {FormatPattern(def.TxMult, u"0"), FormatPattern(def.RxMult, u"0"),
            FormatPattern(def.IFFreq, u"##.0"), FormatPattern(def.RefOsc, u"##.0")};
}

RadioFields RadioFieldsFor(const RadioDefinition& def) {
    const BandFields texts = BandFieldsFor(def);
    return {def.RadioID,  texts.RefFreq, texts.IFFreq,    texts.RxMult,
            texts.TxMult, def.Injection, def.DCGInvertTx, def.DCGInvertRx};
}

CodecContext ContextFor(const Configuration& cfg, int d, const RadioValues& values) {
    CodecContext ctx;
    static_cast<RadioValues&>(ctx) = values;
    ctx.SetFromConfiguration(cfg, d);
    return ctx;
}

int BandPositionFor(int wanted, int count) {
    if (wanted == -1 || count <= 0) return -1;
    return (wanted >= 0 && wanted < count) ? wanted : 0;
}

} // namespace ostrand
