// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PlanFiles.h"

#include "common/Files.h"
#include "image/PersonalityFile.h"
#include "image/RecordCodec.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "ui/PersonalityFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <functional>

namespace ostrand {

namespace {

// A channel plan is a few kilobytes; more is not a plan.
constexpr qint64 kPlanReadLimit = 1024 * 1024;

const QString kCsvFilter = QStringLiteral("Channel plan (*.csv)");
const QString kPdfFilter = QStringLiteral("PDF (*.pdf)");

FileDialogRequest Request(const PlanFileContext& context, const QString& title,
                          const QString& filter, const QString& suffix) {
    return {title, {filter, QStringLiteral("All files (*)")}, filter, suffix, context.folder};
}

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The file the operator chooses, written by `write` (the reason when it cannot be); a failure
// is said. False when nothing was written.
bool Export(const PlanFileContext& context, const QString& title, const QString& filter,
            const QString& suffix, const std::function<QString(const QString&)>& write) {
    const QString path = context.dialogs.SaveFile(Request(context, title, filter, suffix));
    if (path.isEmpty()) return false;
    const QString reason = write(path);
    if (reason.isEmpty()) return true;
    context.messages.Inform(QStringLiteral("cannot write %1: %2").arg(Native(path), reason), title);
    return false;
}

} // namespace

std::optional<StoredPlan> ImportPlanCsv(const PlanFileContext& context) {
    const QString title = QStringLiteral("Import CSV");
    if (!context.unusable.isEmpty()) {
        context.messages.Inform(context.unusable + QStringLiteral(": no frequency could be stored"),
                                title);
        return std::nullopt;
    }
    const QString path = context.dialogs.OpenFile(Request(context, title, kCsvFilter, {}));
    if (path.isEmpty()) return std::nullopt;
    const FileBytes read = ReadRegularFile(path, kPlanReadLimit + 1);
    QString error;
    StoredPlan plan;
    if (!read.problem.isEmpty())
        error = QStringLiteral("cannot read %1: %2").arg(Native(path), read.problem);
    else if (read.bytes.size() > kPlanReadLimit)
        error = QStringLiteral("%1 is too large for a channel plan").arg(Native(path));
    else if (!EncodePlan(QString::fromUtf8(read.bytes), path, context.ctx, plan, error) &&
             !plan.rows.empty())
        error += QStringLiteral("; nothing written");
    if (!error.isEmpty()) {
        context.messages.Inform(error + QStringLiteral("\n\nThe grid is unchanged."), title);
        return std::nullopt;
    }
    if (!plan.warnings.isEmpty()) context.messages.Inform(plan.warnings.join(u'\n'), title);
    return plan;
}

bool ExportPlanCsv(const PlanFileContext& context, const EEImage& image) {
    const QByteArray text = PlanCsv(DecodeAll(image, context.ctx), context.ctx).toUtf8();
    return Export(context, QStringLiteral("Export CSV"), kCsvFilter, QStringLiteral("csv"),
                  [&text](const QString& path) {
                      QSaveFile file(path);
                      if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() &&
                          file.commit())
                          return QString();
                      return file.errorString();
                  });
}

bool ExportPlanPdf(const PlanFileContext& context, const PlanSheet& sheet) {
    return Export(context, QStringLiteral("Export PDF"), kPdfFilter, QStringLiteral("pdf"),
                  [&sheet](const QString& path) { return WritePlanPdf(sheet, path); });
}

void PrintPlan(QWidget* owner, const PlanSheet& sheet) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(sheet.definition);
    QPrintPreviewDialog preview(&printer, owner);
    preview.setObjectName(QStringLiteral("frmPrintPreview"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&sheet](QPrinter* p) { PaintPlanSheet(sheet, *p); });
    preview.exec();
}

std::optional<std::pair<EEImage, QString>> ChoosePersonality(const PlanFileContext& context) {
    const QString title = QStringLiteral("Compare");
    FileDialogRequest request{title, PersonalityNameFilters(), {}, {}, context.folder};
    request.selectedFilter = request.nameFilters.first();
    const QString path = context.dialogs.OpenFile(request);
    if (path.isEmpty()) return std::nullopt;
    const PersonalityRead read = ReadPersonalityFile(path);
    if (read.status != PersonalityRead::Ok) {
        context.messages.Inform(ReadProblem(path, read), title);
        return std::nullopt;
    }
    EEImage image{};
    std::copy(read.bytes.begin(), read.bytes.end(), image.begin());
    return std::make_pair(image, QFileInfo(path).fileName());
}

} // namespace ostrand
