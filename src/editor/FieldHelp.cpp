// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/FieldHelp.h"

#include <QLabel>
#include <QWidget>

namespace ostrand {

namespace {

struct Help {
    const char* name;       // object name
    const char* accessible; // accessible name where the control has no caption of its own
    const char* text;
};

// Header labels, then the radio-wide controls under the grid.
constexpr Help kHelp[] = {
    {"lblChannel", nullptr,
     "Channel number, 1 to 16. Clicking a number copies that channel to every channel."},
    {"lblTxFreq", nullptr,
     "Transmit frequency in MHz. The radio stores a synthesizer count, so the frequency is "
     "rounded to the step of the channel's PLL Ref.; empty means no transmit frequency."},
    {"lblRxFreq", nullptr,
     "Receive frequency in MHz. The synthesizer runs an IF away from it (see Injection) and "
     "counts in the step of the channel's PLL Ref.; empty means no receive frequency."},
    {"lblPLLRef", nullptr,
     "Synthesizer reference: the step both frequencies of the channel are counted in, the "
     "reference oscillator divided by the band's divider. On a Delta-SX the first choice gives "
     "two steps, transmit/receive."},
    {"lblTxTone", nullptr,
     "Transmit tone: a CG (CTCSS) tone in Hz typed with a point (67.0), a DCG code of three "
     "octal digits (023), or empty for none. A DCG code shows as the listed code of its word."},
    {"lblRxTone", nullptr,
     "Receive tone the squelch opens on: a CG (CTCSS) tone in Hz typed with a point (67.0), a "
     "DCG code of three octal digits (023), or empty for none."},
    {"lblSTE", nullptr, "Squelch tail elimination on this channel: ticked is on."},
    {"lblCCT", nullptr,
     "Carrier control timer: how long one transmission may last before the radio ends it; Off "
     "for no limit. The choices follow the CPU type."},
    {"lblTx", nullptr, "The W and Z bits of the transmit half of the channel."},
    {"lblRx", nullptr, "The W and Z bits of the receive half of the channel."},
    {"lblTxWZ", nullptr,
     "Transmit W and Z: two option bits of the channel's transmit half. Only the Delta-SX "
     "layout has them; on a Delta-S they are cleared and unavailable."},
    {"lblRxWZ", nullptr,
     "Receive W and Z: two option bits of the channel's receive half. Only the Delta-SX layout "
     "has them; on a Delta-S they are cleared and unavailable."},
    {"cmbBand", "Band",
     "Radio definition from Ostrand.ini: the radio type and band whose multipliers, IF, "
     "reference, CPU type and band limits the grid is shown under."},
    {"chkDCGInvertTx", nullptr,
     "Transmit DCG code words are inverted: the same code is stored as the inverted word."},
    {"chkDCGInvertRx", nullptr,
     "Receive DCG code words are inverted: the same code is stored as the inverted word."},
    {"txtRefFreq", "Ref. Freq.",
     "Reference oscillator in MHz. Each PLL Ref. step is this frequency divided by the band's "
     "divider."},
    {"txtIFFreq", "IF Freq.",
     "Receiver intermediate frequency in MHz: the receive synthesizer runs this far above "
     "(High injection) or below (Low) the receive frequency."},
    {"txtRxMult", "Rx Mult.",
     "Receive multiplier: the receiver's injection frequency is this many times the "
     "synthesizer frequency."},
    {"txtTxMult", "Tx Mult.",
     "Transmit multiplier: the transmit frequency is this many times the synthesizer "
     "frequency."},
    {"lblInjection", nullptr,
     "Receiver injection side: High puts the local oscillator above the received frequency, "
     "Low below it."},
    {"optInjectionLo", "Injection Low",
     "Low-side injection: the receiver's local oscillator lies below the received frequency."},
    {"optInjectionHi", "Injection High",
     "High-side injection: the receiver's local oscillator lies above the received frequency."},
    {"lblCPUType", nullptr,
     "The CPU type the channel records are laid out for: the band's until a radio is read, "
     "then the radio's."},
};

const Help* Find(const QString& objectName) {
    for (const Help& h : kHelp)
        if (objectName == QLatin1StringView(h.name)) return &h;
    return nullptr;
}

} // namespace

QString FieldHelp(const QString& objectName) {
    const Help* h = Find(objectName);
    return h ? QString::fromUtf8(h->text) : QString();
}

QString FieldToolTip(const QString& objectName) {
    const QString help = FieldHelp(objectName);
    // Rich text is wrapped; a plain one-line tooltip can run off the screen.
    return help.isEmpty() ? help : QStringLiteral("<p>%1</p>").arg(help.toHtmlEscaped());
}

void DescribeControls(QWidget* window) {
    for (const Help& h : kHelp) {
        auto* w = window->findChild<QWidget*>(QLatin1StringView(h.name));
        if (!w) continue;
        w->setToolTip(FieldToolTip(w->objectName()));
        w->setAccessibleDescription(QString::fromUtf8(h.text));
        if (h.accessible) w->setAccessibleName(QString::fromUtf8(h.accessible));
        // The caption above a field ("lblRefFreq" over "txtRefFreq") explains it as well.
        const QString caption = QStringLiteral("lbl") + w->objectName().mid(3);
        if (auto* label = window->findChild<QLabel*>(caption); label && label != w) {
            label->setBuddy(w);
            label->setToolTip(w->toolTip());
        }
    }
}

} // namespace ostrand
