#include "ui/PersonalityFiles.h"

#include "image/PersonalityFile.h"
#include "link/RadioHost.h"
#include "platform/FileDialogs.h"
#include "platform/Paths.h"
#include "platform/Pause.h"

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
    RadioHost& host = context.host;
    host.ShowStatus();
    host.SetStatus(text);
    host.Beep();
    if (context.pause)
        context.pause(kFailurePauseMs);
    else
        delay(kFailurePauseMs);
    host.CloseStatus();
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

FileResult mnuOpen_Click(PersonalityFileContext& context) {
    const QString path =
        context.dialogs.OpenFile(MakeRequest(QStringLiteral("File Open"), context));
    if (path.isEmpty()) return FileResult::Cancelled;

    // Only regular files: opening a FIFO or a device would block or never end.
    if (!QFileInfo(path).isFile()) return FileResult::Unreadable;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return FileResult::Unreadable;
    const QByteArray content = file.read(kPersonalityReadLimit);
    const bool readFailed = file.error() != QFileDevice::NoError;
    file.close();
    if (readFailed || content.isEmpty()) return FileResult::Unreadable;

    const auto bytes = ParsePersonality(content);
    if (!bytes) {
        ReportFailure(context, QStringLiteral("Invalid Input File"));
        return FileResult::Invalid;
    }
    std::copy(bytes->begin(), bytes->end(), context.host.Image().begin());
    if (context.refreshFromImage) context.refreshFromImage();
    return FileResult::Done;
}

FileResult mnuSave_Click(PersonalityFileContext& context) {
    const QString path =
        context.dialogs.SaveFile(MakeRequest(QStringLiteral("File Save"), context));
    if (path.isEmpty()) return FileResult::Cancelled;

    // The image holds exactly what the grid shows.
    context.host.EncodeGrid();
    context.host.DecodeGrid();

    // Written beside the target and renamed over it only when complete: a failure never
    // leaves the previous file truncated or half written.
    const QByteArray digits = FormatPersonality(context.host.Image());
    QSaveFile file(path);
    QString reason;
    // Unbuffered, so a short write (disk full, file size limit) shows in write()'s count;
    // a buffered write can lose the tail and still commit.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = file.errorString();
    } else {
        const qint64 written = file.write(digits);
        if (written != digits.size()) {
            reason = written < 0 ? file.errorString()
                                 : QStringLiteral("The file could not be written completely.");
            file.cancelWriting();
        } else if (!file.commit()) {
            reason = file.errorString();
        }
    }
    if (reason.isNull()) return FileResult::Done;
    if (reason.isEmpty()) reason = QStringLiteral("unknown error");
    ReportFailure(
        context,
        QStringLiteral("File Not Saved\n%1\n%2").arg(QDir::toNativeSeparators(path), reason));
    return FileResult::WriteFailed;
}

} // namespace ostrand
