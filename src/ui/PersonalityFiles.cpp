// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PersonalityFiles.h"

#include "common/Clock.h"
#include "image/PersonalityFile.h"
#include "link/RadioHost.h"
#include "platform/FileDialogs.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace ostrand {

namespace {

constexpr int kFailurePauseMs = 3000;

FileDialogRequest MakeRequest(const QString& title, const PersonalityFileContext& context) {
    const QStringList filters = PersonalityNameFilters();
    FileDialogRequest request;
    request.title = title;
    request.nameFilters = filters;
    request.selectedFilter = filters.at(FilterIndexFor("." + context.defaultExt) - 1);
    request.defaultSuffix = context.defaultExt;
    request.folder = context.folder.isEmpty() ? ProgramFolder() : context.folder;
    return request;
}

// Status text, beep and the pause that keeps the text readable, then the window goes.
void ReportFailure(PersonalityFileContext& context, const QString& text) {
    OperationReport& report = context.report;
    report.ShowStatus();
    report.SetStatus(text);
    report.Beep();
    context.clock.Pause(kFailurePauseMs);
    report.CloseStatus();
}

} // namespace

QStringList PersonalityNameFilters() {
    // The dialog's filter text, "description|patterns" pairs, as Qt name filters.
    static const QString filterText =
        QStringLiteral("All Delta Formats (*.D*)|*.D*|Delta S (*.DS)|*.DS|Delta S Wideband "
                       "(*.DFS)|*.DFS|Delta SX (*.DSX)|*.DSX");
    const QStringList parts = filterText.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // The description already names its patterns: "Delta S (*.DS)".
        filters << parts.at(i);
    }
    return filters;
}

int FilterIndexFor(const QString& dottedExt) {
    if (dottedExt == QLatin1String(".DS")) return 2;
    if (dottedExt == QLatin1String(".DFS")) return 3;
    if (dottedExt == QLatin1String(".DSX")) return 4;
    return 1;
}

FileResult OpenPersonalityFile(PersonalityFileContext& context) {
    const QString path =
        context.dialogs.OpenFile(MakeRequest(QStringLiteral("File Open"), context));
    if (path.isEmpty()) return FileResult::Cancelled;
    return LoadPersonalityFile(context, path);
}

FileResult LoadPersonalityFile(PersonalityFileContext& context, const QString& path) {
    context.chosen = path;
    const PersonalityRead read = ReadPersonalityFile(path);
    if (read.status == PersonalityRead::Unreadable || read.status == PersonalityRead::Empty) {
        context.reason =
            read.status == PersonalityRead::Empty ? QStringLiteral("it is empty") : read.reason;
        return FileResult::Unreadable;
    }
    if (read.status == PersonalityRead::Invalid) {
        ReportFailure(context, QStringLiteral("Invalid Input File"));
        return FileResult::Invalid;
    }
    std::copy(read.bytes.begin(), read.bytes.end(), context.image.begin());
    if (context.refreshFromImage) context.refreshFromImage();
    return FileResult::Done;
}

FileResult SavePersonalityFile(PersonalityFileContext& context) {
    // Before the dialog: there is nothing the grid could be saved as.
    if (!context.unusable.isEmpty()) {
        ReportFailure(context, QStringLiteral("File Not Saved\n") + context.unusable);
        return FileResult::WriteFailed;
    }
    const QString path =
        context.dialogs.SaveFile(MakeRequest(QStringLiteral("File Save"), context));
    if (path.isEmpty()) return FileResult::Cancelled;
    context.chosen = path;

    if (context.encodeGrid) context.encodeGrid();
    const QString reason = WritePersonalityFile(path, context.image);
    if (reason.isEmpty()) return FileResult::Done;
    ReportFailure(
        context,
        QStringLiteral("File Not Saved\n%1\n%2").arg(QDir::toNativeSeparators(path), reason));
    return FileResult::WriteFailed;
}

} // namespace ostrand
