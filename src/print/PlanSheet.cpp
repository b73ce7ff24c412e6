// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/PlanSheet.h"

#include "band/BandSelection.h"
#include "image/RecordCodec.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace ostrand {

namespace {

QString Escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString Box(bool on) {
    return on ? QStringLiteral("\u2713") : QString();
}

QString Item(const QStringList& items, int position) {
    return position >= 0 && position < items.size() ? items.at(position) : QString();
}

} // namespace

PlanSheet SheetFor(const QString& definition, const RadioFields& fields, const CodecContext& ctx,
                   const EEImage& image, const QString& file) {
    const auto onOff = [](bool on) { return on ? QStringLiteral("On") : QStringLiteral("Off"); };
    return {definition,
            {{QStringLiteral("Ref. Freq."), fields.RefFreq},
             {QStringLiteral("IF Freq."), fields.IFFreq},
             {QStringLiteral("Rx Mult."), fields.RxMult},
             {QStringLiteral("Tx Mult."), fields.TxMult},
             {QStringLiteral("Injection"),
              fields.InjectionHi ? QStringLiteral("High") : QStringLiteral("Low")},
             {QStringLiteral("Tx DCG Invert"), onOff(fields.DCGInvertTx)},
             {QStringLiteral("Rx DCG Invert"), onOff(fields.DCGInvertRx)},
             {QStringLiteral("CPU"),
              QString::number(fields.CurRadioID) +
                  (IsDeltaS(fields.CurRadioID)     ? QStringLiteral(" (Delta-S)")
                   : fields.CurRadioID == kDeltaSX ? QStringLiteral(" (Delta-SX)")
                                                   : QString())}},
            file,
            QDateTime::currentDateTime(),
            DecodeAll(image, ctx),
            ReferenceListItems(ctx.RefFreq, ctx.Dividers, ctx.CurRadioID),
            CctItems(ctx.CurRadioID)};
}

QString PlanSheetHtml(const PlanSheet& sheet) {
    QString html = QStringLiteral("<html><body style=\"font-family: sans-serif; font-size: 10pt\">"
                                  "<h2>%1</h2><p>")
                       .arg(Escaped(sheet.definition));
    QStringList values;
    for (const auto& [caption, value] : sheet.radioWide)
        values << QStringLiteral("<b>%1</b> %2").arg(Escaped(caption), Escaped(value));
    html += values.join(QStringLiteral(" &nbsp; &nbsp; "));
    html += QStringLiteral("</p><p><b>File</b> %1 &nbsp; &nbsp; <b>Printed</b> %2</p>")
                .arg(sheet.file.isEmpty() ? QStringLiteral("(not saved)")
                                          : Escaped(QDir::toNativeSeparators(sheet.file)),
                     sheet.printed.toString(QStringLiteral("yyyy-MM-dd HH:mm")));

    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" "
                           "width=\"100%\"><tr>");
    for (const char* caption : {"Chan.", "Tx Freq.", "Rx Freq.", "PLL Ref.", "Tx CG/DCG",
                                "Rx CG/DCG", "STE", "CCT", "Tx W", "Tx Z", "Rx W", "Rx Z"})
        html += QStringLiteral("<th>%1</th>").arg(QLatin1String(caption));
    html += QStringLiteral("</tr>");
    for (int c = 1; c <= int(sheet.rows.size()); ++c) {
        const ChannelRow& row = sheet.rows[size_t(c - 1)];
        html += QStringLiteral("<tr>");
        for (const QString& cell :
             {QString::number(c), row.TxFreq, row.RxFreq, Item(sheet.refItems, row.RefIndex),
              row.TxTone, row.RxTone, Box(row.STE), Item(sheet.cctItems, row.CCT), Box(row.TxW),
              Box(row.TxZ), Box(row.RxW), Box(row.RxZ)})
            html += QStringLiteral("<td align=\"center\">%1</td>").arg(Escaped(cell));
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table></body></html>");
}

void PaintPlanSheet(const PlanSheet& sheet, QPagedPaintDevice& device) {
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&device);
    doc.setHtml(PlanSheetHtml(sheet));
    const QSizeF page(device.width(), device.height());
    doc.setTextWidth(page.width());
    QPainter painter(&device);
    // One page: a plan taller than the page (a large font) is drawn smaller.
    const qreal height = doc.size().height();
    if (height > page.height()) painter.scale(page.height() / height, page.height() / height);
    doc.drawContents(&painter);
}

QString WritePlanPdf(const PlanSheet& sheet, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return file.errorString();
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(sheet.definition);
        pdf.setCreator(QStringLiteral("Ostrand"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        pdf.setResolution(300);
        PaintPlanSheet(sheet, pdf);
    }
    file.close();
    return file.error() == QFileDevice::NoError ? QString() : file.errorString();
}

} // namespace ostrand
