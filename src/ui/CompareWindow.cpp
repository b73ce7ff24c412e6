// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CompareWindow.h"

#include "editor/ChannelGrid.h"
#include "plan/ChannelCsv.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <optional>

namespace ostrand {

namespace {

// The grid column a difference marks: none for stored bits the grid does not show.
std::optional<ChannelGrid::Column> ColumnFor(const FieldDifference& d) {
    static const std::pair<int, ChannelGrid::Column> columns[] = {
        {kCsvTxFreq, ChannelGrid::TxFreq},   {kCsvRxFreq, ChannelGrid::RxFreq},
        {kCsvRefPosition, ChannelGrid::Ref}, {kCsvTxTone, ChannelGrid::TxTone},
        {kCsvRxTone, ChannelGrid::RxTone},   {kCsvSte, ChannelGrid::STE},
        {kCsvCctPosition, ChannelGrid::CCT}, {kCsvTxW, ChannelGrid::TxW},
        {kCsvTxZ, ChannelGrid::TxZ},         {kCsvRxW, ChannelGrid::RxW},
        {kCsvRxZ, ChannelGrid::RxZ}};
    for (const auto& [csv, column] : columns)
        if (csv == d.column) return column;
    return std::nullopt;
}

} // namespace

CompareWindow::CompareWindow(ChannelGrid* grid, const std::vector<FieldDifference>& differences,
                             const QString& other, QWidget* parent)
    : QDialog(parent), grid_(grid) {
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(QStringLiteral("Compare with %1").arg(other));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("lblSummary"));
    summary->setText(differences.empty()
                         ? QStringLiteral("The grid and %1 hold the same personality.").arg(other)
                         : QStringLiteral("%1 difference%2 between the grid and %3, marked in "
                                          "the grid until this window is closed.")
                               .arg(differences.size())
                               .arg(differences.size() == 1 ? QString() : QStringLiteral("s"))
                               .arg(other));
    summary->setWordWrap(true);

    auto* table = new QTableWidget(int(differences.size()), 4, this);
    table->setObjectName(QStringLiteral("tblDifferences"));
    QString heading = other;
    heading[0] = heading[0].toUpper();
    table->setHorizontalHeaderLabels(
        {QStringLiteral("Channel"), QStringLiteral("Column"), QStringLiteral("Grid"), heading});
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    const QStringList header = CsvHeader();
    for (int i = 0; i < int(differences.size()); ++i) {
        const FieldDifference& d = differences[size_t(i)];
        const bool hidden = d.column < 0;
        const QStringList cells{QString::number(d.channel),
                                hidden
                                    ? QStringLiteral("stored bits differ (not shown in the grid)")
                                    : header.at(d.column),
                                d.a, d.b};
        for (int c = 0; c < cells.size(); ++c)
            table->setItem(i, c, new QTableWidgetItem(cells.at(c)));
        if (const auto column = ColumnFor(d)) {
            marks_.emplace_back(d.channel - 1, *column);
            grid->HighlightField(d.channel - 1, *column, true);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(table);
    layout->addWidget(buttons);
    resize(520, 320);
    // Beside the main window where the screen has room: the marks are to be seen.
    if (parent) {
        const QRect frame = parent->frameGeometry();
        const QRect screen = parent->screen()->availableGeometry();
        if (frame.right() + width() < screen.right()) move(frame.right() + 8, frame.top());
    }
    connect(this, &QDialog::finished, this, &CompareWindow::ClearMarks);
}

CompareWindow::~CompareWindow() {
    ClearMarks();
}

void CompareWindow::ClearMarks() {
    if (grid_)
        for (const auto& [row, column] : marks_)
            grid_->HighlightField(row, ChannelGrid::Column(column), false);
    marks_.clear();
}

} // namespace ostrand
