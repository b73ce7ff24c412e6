// SPDX-License-Identifier: GPL-3.0-or-later
// File menu: Open and Save of personality files (the image's first 128 bytes as 256
// hexadecimal digits).
#pragma once

#include "image/EEImage.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace ostrand {

class Clock;
class FileDialogs;
class OperationReport;

struct PersonalityFileContext {
    FileDialogs& dialogs;
    OperationReport& report; // the status window and the beep of a failure
    Clock& clock;            // the pause that keeps a failure text readable
    EEImage& image;
    std::function<void()> encodeGrid;       // Save: the image takes exactly what the grid shows
    std::function<void()> refreshFromImage; // Open: RefreshValues(false)
    QString defaultExt; // the selected definition's default extension, without the "."
    QString folder;     // where the dialogs open; empty means ProgramFolder()
    QString unusable;   // why the grid cannot be encoded now (a radio-wide value): Save refuses
    QString chosen;     // set by the flows: the file opened or saved (or tried)
    QString reason;     // Unreadable: why
};

enum class FileResult {
    Cancelled,   // no file chosen
    Done,        // loaded or written
    Unreadable,  // Open: cannot be opened or read, or empty (ends without a message)
    Invalid,     // Open: "Invalid Input File"
    WriteFailed, // Save: reported in the status window
};

// The four Qt name filters, in the order of the dialog's filter text.
QStringList PersonalityNameFilters();
// Filter position 1..4 for a default extension with its leading ".", exact comparison.
int FilterIndexFor(const QString& dottedExt);

// Open: the dialog, then LoadPersonalityFile on the chosen file.
FileResult OpenPersonalityFile(PersonalityFileContext& context);
// A named file (the command line, a drop, Open Recent, a backup) as Open takes it.
FileResult LoadPersonalityFile(PersonalityFileContext& context, const QString& path);
FileResult SavePersonalityFile(PersonalityFileContext& context);

} // namespace ostrand
