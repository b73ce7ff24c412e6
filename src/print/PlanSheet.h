// SPDX-License-Identifier: GPL-3.0-or-later
// The channel plan on paper: one page with the definition's name, the radio-wide values, the
// file and the date, and the 16 channels with every column as the grid shows it. One renderer
// for the printer, the window's PDF export and ostrand-cli print.
#pragma once

#include "image/ChannelRow.h"
#include "image/EEImage.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class QPagedPaintDevice;

namespace ostrand {

struct PlanSheet {
    QString definition; // the band list's name of the definition in force
    std::vector<std::pair<QString, QString>> radioWide; // caption, value as the window shows it
    QString file;                                       // the personality file; empty: none
    QDateTime printed;
    std::vector<ChannelRow> rows;
    QStringList refItems, cctItems; // the lists' texts in force
};

// The sheet of an image under a context: the radio-wide values from the fields' texts.
PlanSheet SheetFor(const QString& definition, const RadioFields& fields, const CodecContext& ctx,
                   const EEImage& image, const QString& file);

// The page as rich text (what is painted).
QString PlanSheetHtml(const PlanSheet& sheet);
// Paints the sheet on the device's current page, scaled down when it would not fit.
void PaintPlanSheet(const PlanSheet& sheet, QPagedPaintDevice& device);
// Writes the sheet as a one-page landscape A4 PDF; the reason when it cannot.
QString WritePlanPdf(const PlanSheet& sheet, const QString& path);

} // namespace ostrand
