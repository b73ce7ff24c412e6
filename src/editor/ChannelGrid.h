// SPDX-License-Identifier: GPL-3.0-or-later
// The 16-row channel grid: a widget with its header labels and per-row controls, read and
// written a row at a time as a ChannelRow, and the channel-label row copy. The window owns
// the refresh logic; the grid only announces what the operator did.
#pragma once

#include "image/ChannelRow.h"
#include "image/EEImage.h"

#include <QLabel>
#include <QStringList>
#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QCompleter;
class QLineEdit;

namespace ostrand {

// A label that reports a click (press and release on it), as a channel number does.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text);
// A text field that takes at most `length` characters, sized for them.
QLineEdit* NamedField(QWidget* parent, const QString& name, int length);
// Shows a text the codec produced even when it is longer than the operator may type (a
// garbled record can decode wider than the field): a cut text would misstate the image.
void ShowText(QLineEdit* field, const QString& text, int limit);

// Initial item texts before any band selection.
QStringList InitialReferenceItems();
QStringList InitialCctItems();

// Length limits of the grid's text fields.
constexpr int kFreqLength = 9;
constexpr int kToneLength = 5;

class ChannelGrid : public QWidget {
    Q_OBJECT
public:
    // The fields of a row, from left to right: the order of the channel record and of the
    // channel-label copy.
    enum Column { TxFreq, RxFreq, Ref, TxTone, RxTone, STE, CCT, TxW, TxZ, RxW, RxZ };

    // The header labels and the 16 rows of controls, named as the operator's documentation
    // names them ("txtTXFreq_0", "cmbRef_15"...).
    explicit ChannelGrid(QWidget* parent = nullptr);

    // A row's KeptCCT (a timer code its list cannot show) is remembered from WriteRow until the
    // operator picks a timer in that row's list.
    ChannelRow ReadRow(int r) const;
    // Writes every control of row r; a reference position change raises ReferenceChanged as
    // any change does (the caller holds refreshes off while it writes).
    void WriteRow(int r, const ChannelRow& row);
    // Copies row r into every row (r included), field by field in record order.
    void CopyRow(int r);
    // Empties every frequency and tone, clears STE and the W/Z boxes, CCT to "Off".
    void Clear();

    // One field of row r: its control, the text of a text field (set whole, however long),
    // the position of a list.
    QWidget* Field(int r, Column c) const;
    QString Text(int r, Column c) const;
    void SetText(int r, Column c, const QString& text);
    void SetPosition(int r, Column c, int position);

    // Item texts replaced in place: positions and selections stay.
    void SetReferenceItems(const QStringList& items);
    // The CCT lists rebuilt from scratch.
    void SetCctItems(const QStringList& items);

    // A field marked with a reason (a coloured frame, the reason as its tooltip and in what a
    // screen reader says of it), or unmarked with an empty one.
    void MarkField(int r, Column c, const QString& why);
    // A field highlighted as differing from a compared personality, or no longer. Independent
    // of the reason mark: each keeps its look while the other comes and goes.
    void HighlightField(int r, Column c, bool on);
    // What the tone fields offer as the operator types (the configured CG tones and DCG codes).
    void SetToneCompletions(const QStringList& items);

    // Tab order row by row: Tx Freq., Rx Freq., PLL Ref., tones, STE, CCT, Tx W/Z, Rx W/Z.
    // Chains after `before` (when given) and returns the last control.
    QWidget* ChainTabOrder(QWidget* before);

    // The row of a grid control, -1 when it is none of them.
    int RowOf(const QWidget* control) const;

signals:
    void FrequencyLeft(int row, bool transmit);
    void ToneLeft(int row, bool transmit);
    void ReferenceChanged(int row);
    void ChannelClicked(int row);
    // The operator typed in a field, ticked a box or picked from a list.
    void Edited();

protected:
    // Up and Down in a text field or box move to the same column of the row above or below.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void ApplyStyle(QWidget* field);
    template <typename T> using Column_ = std::array<T*, kChannels>;
    Column_<ClickableLabel> lblChan_{};
    Column_<QLineEdit> txtTXFreq_{};
    Column_<QLineEdit> txtRxFreq_{};
    Column_<QComboBox> cmbRef_{};
    Column_<QLineEdit> txtTxTone_{};
    Column_<QLineEdit> txtRxTone_{};
    Column_<QCheckBox> chkSTE_{};
    Column_<QComboBox> cmbCCT_{};
    Column_<QCheckBox> chkTxW_{};
    Column_<QCheckBox> chkTxZ_{};
    Column_<QCheckBox> chkRxW_{};
    Column_<QCheckBox> chkRxZ_{};
    std::array<int, kChannels> keptCct_;
    QCompleter* toneCompleter_ = nullptr;
};

} // namespace ostrand
