// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileDialogs.h"

#include <QFileDialog>

namespace ostrand {

namespace {

// Qt's own dialog, so the name filters match extensions without regard to case (a file
// saved as "radio.dsx" shows under "Delta SX (*.DSX)") on every desktop.
QString Run(QWidget* owner, const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner, request.title, request.folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilters(request.nameFilters);
    if (!request.selectedFilter.isEmpty()) dialog.selectNameFilter(request.selectedFilter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    // Qt's own default size cuts the size and date columns short.
    dialog.resize(820, 500);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString QtFileDialogs::OpenFile(const FileDialogRequest& request) {
    return Run(owner_, request, QFileDialog::AcceptOpen);
}

QString QtFileDialogs::SaveFile(const FileDialogRequest& request) {
    return Run(owner_, request, QFileDialog::AcceptSave);
}

} // namespace ostrand
