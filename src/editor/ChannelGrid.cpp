#include "editor/ChannelGrid.h"

#include "editor/FieldFocus.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
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

enum GridColumn {
    ColChan,
    ColTxFreq,
    ColRxFreq,
    ColRef,
    ColTxTone,
    ColRxTone,
    ColSTE,
    ColCCT,
    ColTxW,
    ColTxZ,
    ColRxW,
    ColRxZ,
    ColEnd
};

QString Indexed(const char* name, int r) {
    return QStringLiteral("%1_%2").arg(QLatin1StringView(name)).arg(r);
}

QCheckBox* Box(QWidget* parent, const char* name, int r) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(Indexed(name, r));
    return box;
}

} // namespace

ChannelGrid::ChannelGrid(QWidget* parent, QGridLayout* layout, int firstRow) : QObject(parent) {
    keptCct_.fill(-1);
    const int headerRow = firstRow + 1;
    const auto centre = Qt::AlignHCenter | Qt::AlignBottom;

    auto* lblTx = NamedLabel(parent, "lblTx", QStringLiteral("Tx"));
    auto* lblRx = NamedLabel(parent, "lblRx", QStringLiteral("Rx"));
    layout->addWidget(lblTx, firstRow, ColTxW, 1, 2, centre);
    layout->addWidget(lblRx, firstRow, ColRxW, 1, 2, centre);

    layout->addWidget(NamedLabel(parent, "lblChannel", QStringLiteral("Chan.")), headerRow, ColChan,
                      centre);
    layout->addWidget(NamedLabel(parent, "lblTxFreq", QStringLiteral("Tx Freq.")), headerRow,
                      ColTxFreq, centre);
    layout->addWidget(NamedLabel(parent, "lblRxFreq", QStringLiteral("Rx Freq.")), headerRow,
                      ColRxFreq, centre);
    layout->addWidget(NamedLabel(parent, "lblPLLRef", QStringLiteral("PLL Ref.")), headerRow,
                      ColRef, centre);
    layout->addWidget(NamedLabel(parent, "lblTxTone", QStringLiteral("Tx CG/DCG")), headerRow,
                      ColTxTone, centre);
    layout->addWidget(NamedLabel(parent, "lblRxTone", QStringLiteral("Rx CG/DCG")), headerRow,
                      ColRxTone, centre);
    layout->addWidget(NamedLabel(parent, "lblSTE", QStringLiteral("STE")), headerRow, ColSTE,
                      centre);
    layout->addWidget(NamedLabel(parent, "lblCCT", QStringLiteral("CCT")), headerRow, ColCCT,
                      centre);
    const QString wz = QStringLiteral("W     Z");
    auto* lblTxWZ = NamedLabel(parent, "lblTxWZ", wz);
    auto* lblRxWZ = NamedLabel(parent, "lblRxWZ", wz);
    layout->addWidget(lblTxWZ, headerRow, ColTxW, 1, 2, centre);
    layout->addWidget(lblRxWZ, headerRow, ColRxW, 1, 2, centre);

    const QStringList refItems = InitialReferenceItems();
    const QStringList cctItems = InitialCctItems();
    for (int r = 0; r < kChannels; ++r) {
        const int row = headerRow + 1 + r;

        lblChan[r] = new ClickableLabel(QString::number(r + 1), parent);
        lblChan[r]->setObjectName(Indexed("lblChan", r));
        lblChan[r]->setAlignment(Qt::AlignCenter);
        lblChan[r]->setCursor(Qt::PointingHandCursor);
        lblChan[r]->setToolTip(tr("Copy this channel to every channel"));
        connect(lblChan[r], &ClickableLabel::clicked, this, [this, r] { emit ChannelClicked(r); });

        txtTXFreq[r] = NamedField(parent, Indexed("txtTXFreq", r), kFreqLength);
        txtRxFreq[r] = NamedField(parent, Indexed("txtRxFreq", r), kFreqLength);
        txtTxTone[r] = NamedField(parent, Indexed("txtTxTone", r), kToneLength);
        txtRxTone[r] = NamedField(parent, Indexed("txtRxTone", r), kToneLength);
        WatchFieldFocus(txtTXFreq[r], [this, r] { emit FrequencyLeft(r); });
        WatchFieldFocus(txtRxFreq[r], [this, r] { emit FrequencyLeft(r); });
        WatchFieldFocus(txtTxTone[r], [this, r] { emit ToneLeft(r, true); });
        WatchFieldFocus(txtRxTone[r], [this, r] { emit ToneLeft(r, false); });

        cmbRef[r] = new QComboBox(parent);
        cmbRef[r]->setObjectName(Indexed("cmbRef", r));
        cmbRef[r]->addItems(refItems);
        cmbRef[r]->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        connect(cmbRef[r], &QComboBox::currentIndexChanged, this,
                [this, r] { emit ReferenceChanged(r); });

        cmbCCT[r] = new QComboBox(parent);
        cmbCCT[r]->setObjectName(Indexed("cmbCCT", r));
        cmbCCT[r]->addItems(cctItems);
        WheelOnlyWhenFocused(cmbRef[r]);
        WheelOnlyWhenFocused(cmbCCT[r]);
        // The operator's pick, even of "Off", replaces a timer the list could not show.
        connect(cmbCCT[r], &QComboBox::activated, this, [this, r] { keptCct_[size_t(r)] = -1; });

        chkSTE[r] = Box(parent, "chkSTE", r);
        chkTxW[r] = Box(parent, "chkTxW", r);
        chkTxZ[r] = Box(parent, "chkTxZ", r);
        chkRxW[r] = Box(parent, "chkRxW", r);
        chkRxZ[r] = Box(parent, "chkRxZ", r);

        layout->addWidget(lblChan[r], row, ColChan);
        layout->addWidget(txtTXFreq[r], row, ColTxFreq);
        layout->addWidget(txtRxFreq[r], row, ColRxFreq);
        layout->addWidget(cmbRef[r], row, ColRef);
        layout->addWidget(txtTxTone[r], row, ColTxTone, Qt::AlignHCenter);
        layout->addWidget(txtRxTone[r], row, ColRxTone, Qt::AlignHCenter);
        layout->addWidget(chkSTE[r], row, ColSTE, Qt::AlignHCenter);
        layout->addWidget(cmbCCT[r], row, ColCCT);
        layout->addWidget(chkTxW[r], row, ColTxW, Qt::AlignHCenter);
        layout->addWidget(chkTxZ[r], row, ColTxZ, Qt::AlignHCenter);
        layout->addWidget(chkRxW[r], row, ColRxW, Qt::AlignHCenter);
        layout->addWidget(chkRxZ[r], row, ColRxZ, Qt::AlignHCenter);
    }

    // Put the W and Z boxes right under the two letters of their "W     Z" header.
    const QFontMetrics fm = lblTxWZ->fontMetrics();
    const int letters =
        fm.horizontalAdvance(wz) - (fm.horizontalAdvance(u'W') + fm.horizontalAdvance(u'Z')) / 2;
    const int box = chkTxW[0]->sizeHint().width();
    const int column = std::max(box, letters - layout->horizontalSpacing());
    for (int c : {ColTxW, ColTxZ, ColRxW, ColRxZ})
        layout->setColumnMinimumWidth(c, column);
    layout->setColumnStretch(ColEnd, 1);
}

ChannelRow ChannelGrid::ReadRow(int r) const {
    ChannelRow row;
    row.TxFreq = txtTXFreq[r]->text();
    row.RxFreq = txtRxFreq[r]->text();
    row.RefIndex = cmbRef[r]->currentIndex();
    row.TxTone = txtTxTone[r]->text();
    row.RxTone = txtRxTone[r]->text();
    row.STE = chkSTE[r]->isChecked();
    row.CCT = cmbCCT[r]->currentIndex();
    row.KeptCCT = row.CCT == 0 ? keptCct_[size_t(r)] : -1;
    row.TxW = chkTxW[r]->isChecked();
    row.TxZ = chkTxZ[r]->isChecked();
    row.RxW = chkRxW[r]->isChecked();
    row.RxZ = chkRxZ[r]->isChecked();
    row.WZEnabled = chkTxW[r]->isEnabled();
    return row;
}

void ChannelGrid::WriteRow(int r, const ChannelRow& row) {
    ShowText(txtTXFreq[r], row.TxFreq, kFreqLength);
    ShowText(txtRxFreq[r], row.RxFreq, kFreqLength);
    cmbRef[r]->setCurrentIndex(row.RefIndex);
    ShowText(txtTxTone[r], row.TxTone, kToneLength);
    ShowText(txtRxTone[r], row.RxTone, kToneLength);
    chkSTE[r]->setChecked(row.STE);
    cmbCCT[r]->setCurrentIndex(row.CCT);
    keptCct_[size_t(r)] = row.KeptCCT;
    for (QCheckBox* box : {chkTxW[r], chkTxZ[r], chkRxW[r], chkRxZ[r]})
        box->setEnabled(row.WZEnabled);
    chkTxW[r]->setChecked(row.TxW);
    chkTxZ[r]->setChecked(row.TxZ);
    chkRxW[r]->setChecked(row.RxW);
    chkRxZ[r]->setChecked(row.RxZ);
}

void ChannelGrid::CopyRow(int r) {
    // Each field is read from row r at the moment it is copied: a reference change on the way
    // refreshes the grid, and the copy goes on from what row r shows then.
    for (int i = 0; i < kChannels; ++i) {
        ShowText(txtTXFreq[i], txtTXFreq[r]->text(), kFreqLength);
        ShowText(txtRxFreq[i], txtRxFreq[r]->text(), kFreqLength);
        cmbRef[i]->setCurrentIndex(cmbRef[r]->currentIndex());
        ShowText(txtTxTone[i], txtTxTone[r]->text(), kToneLength);
        ShowText(txtRxTone[i], txtRxTone[r]->text(), kToneLength);
        chkSTE[i]->setChecked(chkSTE[r]->isChecked());
        cmbCCT[i]->setCurrentIndex(cmbCCT[r]->currentIndex());
        keptCct_[size_t(i)] = keptCct_[size_t(r)];
        chkTxW[i]->setChecked(chkTxW[r]->isChecked());
        chkTxZ[i]->setChecked(chkTxZ[r]->isChecked());
        chkRxW[i]->setChecked(chkRxW[r]->isChecked());
        chkRxZ[i]->setChecked(chkRxZ[r]->isChecked());
    }
}

void ChannelGrid::Clear() {
    for (int r = 0; r < kChannels; ++r) {
        txtTXFreq[r]->clear();
        txtRxFreq[r]->clear();
        txtTxTone[r]->clear();
        txtRxTone[r]->clear();
        chkSTE[r]->setChecked(false);
        cmbCCT[r]->setCurrentIndex(0);
        keptCct_[size_t(r)] = -1;
        chkTxW[r]->setChecked(false);
        chkTxZ[r]->setChecked(false);
        chkRxW[r]->setChecked(false);
        chkRxZ[r]->setChecked(false);
    }
}

void ChannelGrid::SetReferenceItems(const QStringList& items) {
    for (QComboBox* list : cmbRef) {
        for (int i = 0; i < list->count() && i < items.size(); ++i)
            list->setItemText(i, items[i]);
    }
}

void ChannelGrid::SetCctItems(const QStringList& items) {
    for (QComboBox* list : cmbCCT) {
        list->clear();
        list->addItems(items);
    }
}

QWidget* ChannelGrid::ChainTabOrder(QWidget* before) {
    QWidget* last = before;
    for (int r = 0; r < kChannels; ++r) {
        const std::array<QWidget*, 11> order = {txtTXFreq[r], txtRxFreq[r], cmbRef[r], txtTxTone[r],
                                                txtRxTone[r], chkSTE[r],    cmbCCT[r], chkTxW[r],
                                                chkTxZ[r],    chkRxW[r],    chkRxZ[r]};
        for (QWidget* w : order) {
            if (last) QWidget::setTabOrder(last, w);
            last = w;
        }
    }
    return last;
}

} // namespace ostrand
