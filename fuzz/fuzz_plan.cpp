// SPDX-License-Identifier: GPL-3.0-or-later
// The channel plan reader and encoder on arbitrary CSV text: a plan is refused with a line or
// channel named, or stored; a stored plan's CSV, as Export CSV and decode print it, stores the
// same block again (without DCG inversion).
#include "FuzzInput.h"
#include "common/Numbers.h"
#include "plan/ChannelCsv.h"

using namespace ostrand;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    const int cpu = in.Byte();
    RadioFields fields{static_cast<int16_t>(cpu & 1 ? kDeltaS : kDeltaSX),
                       QStringLiteral("13.2"),
                       QStringLiteral("45.0"),
                       QStringLiteral("1"),
                       QStringLiteral("1"),
                       (cpu & 2) != 0,
                       (cpu & 4) != 0,
                       (cpu & 8) != 0};
    CodecContext ctx;
    static_cast<RadioValues&>(ctx) = ReadRadioValues(fields);
    ctx.Dividers = {0, 3168, 2640, 2112, 3312, 2760, 2208, 2400};
    for (const char* code : {"023", "025", "754"})
        ctx.DCGList.push_back(static_cast<int16_t>(ParseOctal(QString::fromLatin1(code))));
    ctx.CGList = {67.0f, 71.9f, 100.0f, 131.8f};
    const QString text = QString::fromUtf8(in.Bytes());

    StoredPlan plan;
    QString error;
    if (!EncodePlan(text, QStringLiteral("plan.csv"), ctx, plan, error)) {
        if (!error.startsWith(QStringLiteral("plan.csv: "))) fuzz::Fail("error without the file");
        if (!error.contains(QStringLiteral("line ")) && !error.contains(QStringLiteral("channel")))
            fuzz::Fail("error names neither a line nor a channel", error);
        return 0;
    }
    if (plan.rows.size() != kChannels) fuzz::Fail("a stored plan without 16 rows");
    // With an invert box set, a DCG code the grid shows need not enter again as the same code
    // (the decoder may show a code of the complement family; entered, it can settle elsewhere
    // or be lost, which encode warns of), so the round trip holds without inversion only.
    if (ctx.DCGInvertRx || ctx.DCGInvertTx) return 0;
    const QString shown = PlanCsv(plan.rows, ctx);
    StoredPlan again;
    if (!EncodePlan(shown, QStringLiteral("plan.csv"), ctx, again, error))
        fuzz::Fail("the plan as printed is refused", error + "\n" + shown);
    if (again.image != plan.image) fuzz::Fail("the plan as printed stores another block", shown);
    return 0;
}
