// SPDX-License-Identifier: GPL-3.0-or-later
// File > Compare: the fields in which the grid differs from another personality (a file, or
// the radio read into a buffer of its own), listed in a small window and marked in the grid
// while the window is open. Closing the window clears the marks.
#pragma once

#include "plan/PlanCompare.h"

#include <QDialog>
#include <QPointer>
#include <utility>
#include <vector>

namespace ostrand {

class ChannelGrid;

class CompareWindow : public QDialog {
    Q_OBJECT
public:
    // other: what the grid is compared with, as the list's heading names it.
    CompareWindow(ChannelGrid* grid, const std::vector<FieldDifference>& differences,
                  const QString& other, QWidget* parent);
    ~CompareWindow() override;

private:
    void ClearMarks();

    QPointer<ChannelGrid> grid_;
    std::vector<std::pair<int, int>> marks_; // row and grid column of each marked field
};

} // namespace ostrand
