// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ChannelGrid.h"

#include "editor/FieldFocus.h"
#include "editor/FieldHelp.h"
#include "editor/ToneCompleter.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

namespace ostrand {

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) emit clicked();
}

QStringList InitialReferenceItems() {
    return {QStringLiteral("4.166/6.25kHz"), QStringLiteral("4.166kHz"),
            QStringLiteral("5.00kHz"),       QStringLiteral("6.25kHz"),
            QStringLiteral("3.985kHz"),      QStringLiteral("4.7826kHz"),
            QStringLiteral("5.97826kHz"),    QStringLiteral("Disabled")};
}

QStringList InitialCctItems() {
    return {QStringLiteral("Off"),     QStringLiteral("30 Sec"),  QStringLiteral("60 Sec"),
            QStringLiteral("90 Sec"),  QStringLiteral("120 Sec"), QStringLiteral("150 Sec"),
            QStringLiteral("180 Sec"), QStringLiteral("210 Sec")};
}

void ShowText(QLineEdit* field, const QString& text, int limit) {
    field->setMaxLength(std::max(limit, int(text.size())));
    field->setText(text);
}

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1StringView(name));
    return label;
}

QLineEdit* NamedField(QWidget* parent, const QString& name, int length) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(length);
    // Wide enough for that many digits and the frame, no wider: the window stays compact.
    const int text = edit->fontMetrics().horizontalAdvance(QString(length + 1, u'0'));
    edit->setFixedWidth(text + 12);
    return edit;
}

namespace {

// Layout columns: the channel number, then the fields (Column + 1), then the stretch.
constexpr int ColChan = 0;
constexpr int ColEnd = ChannelGrid::RxZ + 2;
constexpr int At(ChannelGrid::Column c) {
    return c + 1;
}

QString Indexed(const char* name, int r) {
    return QStringLiteral("%1_%2").arg(QLatin1StringView(name)).arg(r);
}

// Each column's caption for a screen reader, and the header label that explains it.
constexpr const char* kCaptions[] = {"Tx Freq.",  "Rx Freq.", "PLL Ref.", "Tx CG/DCG",
                                     "Rx CG/DCG", "STE",      "CCT",      "Tx W",
                                     "Tx Z",      "Rx W",     "Rx Z"};
constexpr const char* kHeaders[] = {"lblTxFreq", "lblRxFreq", "lblPLLRef", "lblTxTone",
                                    "lblRxTone", "lblSTE",    "lblCCT",    "lblTxWZ",
                                    "lblTxWZ",   "lblRxWZ",   "lblRxWZ"};

QCheckBox* Box(QWidget* parent, const char* name, int r) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(Indexed(name, r));
    return box;
}

} // namespace

ChannelGrid::ChannelGrid(QWidget* parent) : QWidget(parent) {
    keptCct_.fill(-1);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(2);
    const int firstRow = 0, headerRow = 1;
    const auto centre = Qt::AlignHCenter | Qt::AlignBottom;

    auto* lblTx = NamedLabel(this, "lblTx", QStringLiteral("Tx"));
    auto* lblRx = NamedLabel(this, "lblRx", QStringLiteral("Rx"));
    layout->addWidget(lblTx, firstRow, At(TxW), 1, 2, centre);
    layout->addWidget(lblRx, firstRow, At(RxW), 1, 2, centre);

    layout->addWidget(NamedLabel(this, "lblChannel", QStringLiteral("Chan.")), headerRow, ColChan,
                      centre);
    layout->addWidget(NamedLabel(this, "lblTxFreq", QStringLiteral("Tx Freq.")), headerRow,
                      At(TxFreq), centre);
    layout->addWidget(NamedLabel(this, "lblRxFreq", QStringLiteral("Rx Freq.")), headerRow,
                      At(RxFreq), centre);
    layout->addWidget(NamedLabel(this, "lblPLLRef", QStringLiteral("PLL Ref.")), headerRow, At(Ref),
                      centre);
    layout->addWidget(NamedLabel(this, "lblTxTone", QStringLiteral("Tx CG/DCG")), headerRow,
                      At(TxTone), centre);
    layout->addWidget(NamedLabel(this, "lblRxTone", QStringLiteral("Rx CG/DCG")), headerRow,
                      At(RxTone), centre);
    layout->addWidget(NamedLabel(this, "lblSTE", QStringLiteral("STE")), headerRow, At(STE),
                      centre);
    layout->addWidget(NamedLabel(this, "lblCCT", QStringLiteral("CCT")), headerRow, At(CCT),
                      centre);
    const QString wz = QStringLiteral("W     Z");
    auto* lblTxWZ = NamedLabel(this, "lblTxWZ", wz);
    auto* lblRxWZ = NamedLabel(this, "lblRxWZ", wz);
    layout->addWidget(lblTxWZ, headerRow, At(TxW), 1, 2, centre);
    layout->addWidget(lblRxWZ, headerRow, At(RxW), 1, 2, centre);

    toneCompleter_ = MakeToneCompleter(this);
    const QStringList refItems = InitialReferenceItems();
    const QStringList cctItems = InitialCctItems();
    for (int r = 0; r < kChannels; ++r) {
        const int row = headerRow + 1 + r;

        lblChan_[r] = new ClickableLabel(QString::number(r + 1), this);
        lblChan_[r]->setObjectName(Indexed("lblChan", r));
        lblChan_[r]->setAlignment(Qt::AlignCenter);
        lblChan_[r]->setCursor(Qt::PointingHandCursor);
        lblChan_[r]->setToolTip(
            tr("Copy this channel to every channel (%1 takes it back)")
                .arg(QKeySequence(QKeySequence::Undo).toString(QKeySequence::NativeText)));
        connect(lblChan_[r], &ClickableLabel::clicked, this, [this, r] { emit ChannelClicked(r); });
        lblChan_[r]->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(lblChan_[r], &QWidget::customContextMenuRequested, this, [this, r](QPoint at) {
            QMenu menu(this);
            QAction* copy = menu.addAction(tr("&Copy Channel %1 to All Channels").arg(r + 1));
            if (menu.exec(lblChan_[r]->mapToGlobal(at)) == copy) emit ChannelClicked(r);
        });

        txtTXFreq_[r] = NamedField(this, Indexed("txtTXFreq", r), kFreqLength);
        txtRxFreq_[r] = NamedField(this, Indexed("txtRxFreq", r), kFreqLength);
        txtTxTone_[r] = NamedField(this, Indexed("txtTxTone", r), kToneLength);
        txtRxTone_[r] = NamedField(this, Indexed("txtRxTone", r), kToneLength);
        WatchFieldFocus(txtTXFreq_[r], [this, r] { emit FrequencyLeft(r, true); });
        WatchFieldFocus(txtRxFreq_[r], [this, r] { emit FrequencyLeft(r, false); });
        WatchFieldFocus(txtTxTone_[r], [this, r] { emit ToneLeft(r, true); });
        WatchFieldFocus(txtRxTone_[r], [this, r] { emit ToneLeft(r, false); });

        cmbRef_[r] = new QComboBox(this);
        cmbRef_[r]->setObjectName(Indexed("cmbRef", r));
        cmbRef_[r]->addItems(refItems);
        cmbRef_[r]->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        connect(cmbRef_[r], &QComboBox::currentIndexChanged, this,
                [this, r] { emit ReferenceChanged(r); });

        cmbCCT_[r] = new QComboBox(this);
        cmbCCT_[r]->setObjectName(Indexed("cmbCCT", r));
        cmbCCT_[r]->addItems(cctItems);
        WheelOnlyWhenFocused(cmbRef_[r]);
        WheelOnlyWhenFocused(cmbCCT_[r]);
        // The operator's pick, even of "Off", replaces a timer the list could not show.
        connect(cmbCCT_[r], &QComboBox::activated, this, [this, r] { keptCct_[size_t(r)] = -1; });

        chkSTE_[r] = Box(this, "chkSTE", r);
        chkTxW_[r] = Box(this, "chkTxW", r);
        chkTxZ_[r] = Box(this, "chkTxZ", r);
        chkRxW_[r] = Box(this, "chkRxW", r);
        chkRxZ_[r] = Box(this, "chkRxZ", r);
        for (QLineEdit* field : {txtTXFreq_[r], txtRxFreq_[r], txtTxTone_[r], txtRxTone_[r]})
            connect(field, &QLineEdit::textEdited, this, &ChannelGrid::Edited);
        for (QComboBox* list : {cmbRef_[r], cmbCCT_[r]})
            connect(list, &QComboBox::activated, this, &ChannelGrid::Edited);
        for (QCheckBox* box : {chkSTE_[r], chkTxW_[r], chkTxZ_[r], chkRxW_[r], chkRxZ_[r]})
            connect(box, &QCheckBox::clicked, this, &ChannelGrid::Edited);

        layout->addWidget(lblChan_[r], row, ColChan);
        layout->addWidget(txtTXFreq_[r], row, At(TxFreq));
        layout->addWidget(txtRxFreq_[r], row, At(RxFreq));
        layout->addWidget(cmbRef_[r], row, At(Ref));
        layout->addWidget(txtTxTone_[r], row, At(TxTone), Qt::AlignHCenter);
        layout->addWidget(txtRxTone_[r], row, At(RxTone), Qt::AlignHCenter);
        layout->addWidget(chkSTE_[r], row, At(STE), Qt::AlignHCenter);
        layout->addWidget(cmbCCT_[r], row, At(CCT));
        layout->addWidget(chkTxW_[r], row, At(TxW), Qt::AlignHCenter);
        layout->addWidget(chkTxZ_[r], row, At(TxZ), Qt::AlignHCenter);
        layout->addWidget(chkRxW_[r], row, At(RxW), Qt::AlignHCenter);
        layout->addWidget(chkRxZ_[r], row, At(RxZ), Qt::AlignHCenter);

        txtTxTone_[r]->setCompleter(toneCompleter_);
        txtRxTone_[r]->setCompleter(toneCompleter_);
        // What a screen reader says of each field: its channel and column, and the column's
        // help from the header above it.
        lblChan_[r]->setAccessibleName(QStringLiteral("Channel %1").arg(r + 1));
        lblChan_[r]->setAccessibleDescription(lblChan_[r]->toolTip());
        for (int c = TxFreq; c <= RxZ; ++c) {
            QWidget* field = Field(r, Column(c));
            field->setAccessibleName(
                QStringLiteral("Channel %1 %2").arg(r + 1).arg(QLatin1StringView(kCaptions[c])));
            field->setAccessibleDescription(FieldHelp(QLatin1StringView(kHeaders[c])));
        }
    }

    // Put the W and Z boxes right under the two letters of their "W     Z" header.
    const QFontMetrics fm = lblTxWZ->fontMetrics();
    const int letters =
        fm.horizontalAdvance(wz) - (fm.horizontalAdvance(u'W') + fm.horizontalAdvance(u'Z')) / 2;
    const int box = chkTxW_[0]->sizeHint().width();
    const int column = std::max(box, letters - layout->horizontalSpacing());
    for (int c : {At(TxW), At(TxZ), At(RxW), At(RxZ)})
        layout->setColumnMinimumWidth(c, column);
    layout->setColumnStretch(ColEnd, 1);

    for (int r = 0; r < kChannels; ++r)
        for (int c = TxFreq; c <= RxZ; ++c)
            if (c != Ref && c != CCT) Field(r, Column(c))->installEventFilter(this);

    // The row copy by keyboard, for the row that has the focus.
    auto* copyRow = new QAction(tr("Copy Channel to All Channels"), this);
    copyRow->setObjectName(QStringLiteral("actCopyChannel"));
    copyRow->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    copyRow->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(copyRow);
    connect(copyRow, &QAction::triggered, this, [this] {
        if (const int r = RowOf(focusWidget()); r >= 0) emit ChannelClicked(r);
    });
}

int ChannelGrid::RowOf(const QWidget* control) const {
    for (int r = 0; r < kChannels; ++r)
        for (int c = TxFreq; c <= RxZ; ++c)
            if (control && Field(r, Column(c)) == control) return r;
    return -1;
}

bool ChannelGrid::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool up = key->key() == Qt::Key_Up, down = key->key() == Qt::Key_Down;
    if ((!up && !down) || (key->modifiers() & ~Qt::KeypadModifier))
        return QWidget::eventFilter(watched, event);
    const int r = RowOf(qobject_cast<QWidget*>(watched));
    const int target = r + (down ? 1 : -1);
    if (r < 0) return false;
    if (target >= 0 && target < kChannels) {
        for (int c = TxFreq; c <= RxZ; ++c)
            if (Field(r, Column(c)) == watched)
                Field(target, Column(c))->setFocus(Qt::TabFocusReason);
    }
    return true;
}

ChannelRow ChannelGrid::ReadRow(int r) const {
    ChannelRow row;
    row.TxFreq = txtTXFreq_[r]->text();
    row.RxFreq = txtRxFreq_[r]->text();
    row.RefIndex = cmbRef_[r]->currentIndex();
    row.TxTone = txtTxTone_[r]->text();
    row.RxTone = txtRxTone_[r]->text();
    row.STE = chkSTE_[r]->isChecked();
    row.CCT = cmbCCT_[r]->currentIndex();
    row.KeptCCT = row.CCT == 0 ? keptCct_[size_t(r)] : -1;
    row.TxW = chkTxW_[r]->isChecked();
    row.TxZ = chkTxZ_[r]->isChecked();
    row.RxW = chkRxW_[r]->isChecked();
    row.RxZ = chkRxZ_[r]->isChecked();
    row.WZEnabled = chkTxW_[r]->isEnabled();
    return row;
}

void ChannelGrid::WriteRow(int r, const ChannelRow& row) {
    ShowText(txtTXFreq_[r], row.TxFreq, kFreqLength);
    ShowText(txtRxFreq_[r], row.RxFreq, kFreqLength);
    cmbRef_[r]->setCurrentIndex(row.RefIndex);
    ShowText(txtTxTone_[r], row.TxTone, kToneLength);
    ShowText(txtRxTone_[r], row.RxTone, kToneLength);
    chkSTE_[r]->setChecked(row.STE);
    cmbCCT_[r]->setCurrentIndex(row.CCT);
    keptCct_[size_t(r)] = row.KeptCCT;
    for (QCheckBox* box : {chkTxW_[r], chkTxZ_[r], chkRxW_[r], chkRxZ_[r]})
        box->setEnabled(row.WZEnabled);
    chkTxW_[r]->setChecked(row.TxW);
    chkTxZ_[r]->setChecked(row.TxZ);
    chkRxW_[r]->setChecked(row.RxW);
    chkRxZ_[r]->setChecked(row.RxZ);
}

void ChannelGrid::CopyRow(int r) {
    // Each field is read from row r at the moment it is copied: a reference change on the way
    // refreshes the grid, and the copy goes on from what row r shows then.
    for (int i = 0; i < kChannels; ++i) {
        ShowText(txtTXFreq_[i], txtTXFreq_[r]->text(), kFreqLength);
        ShowText(txtRxFreq_[i], txtRxFreq_[r]->text(), kFreqLength);
        cmbRef_[i]->setCurrentIndex(cmbRef_[r]->currentIndex());
        ShowText(txtTxTone_[i], txtTxTone_[r]->text(), kToneLength);
        ShowText(txtRxTone_[i], txtRxTone_[r]->text(), kToneLength);
        chkSTE_[i]->setChecked(chkSTE_[r]->isChecked());
        cmbCCT_[i]->setCurrentIndex(cmbCCT_[r]->currentIndex());
        keptCct_[size_t(i)] = keptCct_[size_t(r)];
        chkTxW_[i]->setChecked(chkTxW_[r]->isChecked());
        chkTxZ_[i]->setChecked(chkTxZ_[r]->isChecked());
        chkRxW_[i]->setChecked(chkRxW_[r]->isChecked());
        chkRxZ_[i]->setChecked(chkRxZ_[r]->isChecked());
    }
}

void ChannelGrid::Clear() {
    for (int r = 0; r < kChannels; ++r) {
        txtTXFreq_[r]->clear();
        txtRxFreq_[r]->clear();
        txtTxTone_[r]->clear();
        txtRxTone_[r]->clear();
        chkSTE_[r]->setChecked(false);
        cmbCCT_[r]->setCurrentIndex(0);
        keptCct_[size_t(r)] = -1;
        chkTxW_[r]->setChecked(false);
        chkTxZ_[r]->setChecked(false);
        chkRxW_[r]->setChecked(false);
        chkRxZ_[r]->setChecked(false);
    }
}

void ChannelGrid::SetReferenceItems(const QStringList& items) {
    for (QComboBox* list : cmbRef_) {
        for (int i = 0; i < list->count() && i < items.size(); ++i)
            list->setItemText(i, items[i]);
    }
}

void ChannelGrid::SetCctItems(const QStringList& items) {
    for (QComboBox* list : cmbCCT_) {
        list->clear();
        list->addItems(items);
    }
}

void ChannelGrid::MarkField(int r, Column c, const QString& why) {
    QWidget* field = Field(r, c);
    if (field->property("marked").toString() == why) return; // a style change costs a relayout
    field->setProperty("marked", why);
    ApplyStyle(field);
    field->setToolTip(why);
    const QString help = FieldHelp(QLatin1StringView(kHeaders[c]));
    field->setAccessibleDescription(why.isEmpty() ? help : why + QStringLiteral(". ") + help);
}

void ChannelGrid::HighlightField(int r, Column c, bool on) {
    QWidget* field = Field(r, c);
    if (field->property("highlighted").toBool() == on) return;
    field->setProperty("highlighted", on);
    ApplyStyle(field);
}

// One style sheet from both marks, so that setting one never drops the other.
void ChannelGrid::ApplyStyle(QWidget* field) {
    QString style;
    if (!field->property("marked").toString().isEmpty())
        style += QStringLiteral("QLineEdit { border: 2px solid #e07000; border-radius: 2px; }");
    if (field->property("highlighted").toBool())
        style += QStringLiteral(" QWidget { background-color: #ffd75e; }");
    field->setStyleSheet(style);
}

void ChannelGrid::SetToneCompletions(const QStringList& items) {
    SetCompletions(toneCompleter_, items);
}

QWidget* ChannelGrid::ChainTabOrder(QWidget* before) {
    QWidget* last = before;
    for (int r = 0; r < kChannels; ++r) {
        for (int c = TxFreq; c <= RxZ; ++c) {
            QWidget* w = Field(r, Column(c));
            if (last) QWidget::setTabOrder(last, w);
            last = w;
        }
    }
    return last;
}

QWidget* ChannelGrid::Field(int r, Column c) const {
    const size_t i = size_t(r);
    const std::array<QWidget*, 11> row = {txtTXFreq_[i], txtRxFreq_[i], cmbRef_[i], txtTxTone_[i],
                                          txtRxTone_[i], chkSTE_[i],    cmbCCT_[i], chkTxW_[i],
                                          chkTxZ_[i],    chkRxW_[i],    chkRxZ_[i]};
    return row[size_t(c)];
}

QString ChannelGrid::Text(int r, Column c) const {
    auto* field = qobject_cast<QLineEdit*>(Field(r, c));
    return field ? field->text() : QString();
}

void ChannelGrid::SetText(int r, Column c, const QString& text) {
    auto* field = qobject_cast<QLineEdit*>(Field(r, c));
    if (field) ShowText(field, text, c == TxTone || c == RxTone ? kToneLength : kFreqLength);
}

void ChannelGrid::SetPosition(int r, Column c, int position) {
    if (auto* list = qobject_cast<QComboBox*>(Field(r, c))) list->setCurrentIndex(position);
}

} // namespace ostrand
