// SPDX-License-Identifier: GPL-3.0-or-later
// File menu: the channel plan as CSV (Import CSV, Export CSV: the format and code of
// ostrand-cli encode and decode), as PDF (Export PDF) and on paper (Print), and the
// personality file a comparison reads.
#pragma once

#include "image/ChannelRow.h"
#include "image/EEImage.h"
#include "plan/ChannelCsv.h"
#include "print/PlanSheet.h"

#include <QString>
#include <optional>

class QWidget;

namespace ostrand {

class FileDialogs;
class MessageBoxes;

struct PlanFileContext {
    FileDialogs& dialogs;
    MessageBoxes& messages; // what went wrong, with an OK button
    CodecContext ctx;       // the grid's, now
    QString unusable;       // why the grid's radio-wide values cannot encode; empty when they can
    QString folder;         // where the dialogs open
};

// Import CSV: the plan as stored, or nothing when the operator cancels or the plan cannot be
// stored (said as ostrand-cli encode says it; the grid is left as it was). Tones that cannot
// be stored are said after the import.
std::optional<StoredPlan> ImportPlanCsv(const PlanFileContext& context);
// Export CSV: the image's channels as ostrand-cli decode prints them. False when not written.
bool ExportPlanCsv(const PlanFileContext& context, const EEImage& image);
// Export PDF: the page ostrand-cli print writes.
bool ExportPlanPdf(const PlanFileContext& context, const PlanSheet& sheet);
// Print: the print preview, its print button opening the print dialog.
void PrintPlan(QWidget* owner, const PlanSheet& sheet);
// Compare with a file: the chosen personality file's block and its name, or nothing.
std::optional<std::pair<EEImage, QString>> ChoosePersonality(const PlanFileContext& context);

} // namespace ostrand
