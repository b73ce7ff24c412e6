// SPDX-License-Identifier: GPL-3.0-or-later
// Open and save file dialogs behind an interface, so the file flows can be driven by tests.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace ostrand {

struct FileDialogRequest {
    QString title;
    QStringList nameFilters; // Qt name filters, e.g. "Delta S (*.DS)"
    QString selectedFilter;  // one of nameFilters
    QString defaultSuffix;   // without the leading "."
    QString folder;          // the folder the dialog opens in
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen file's path, or an empty string when the operator cancels.
    virtual QString OpenFile(const FileDialogRequest& request) = 0;
    virtual QString SaveFile(const FileDialogRequest& request) = 0;
};

// Modal QFileDialog windows over the given owner.
class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    QString OpenFile(const FileDialogRequest& request) override;
    QString SaveFile(const FileDialogRequest& request) override;

private:
    QWidget* owner_;
};

} // namespace ostrand
