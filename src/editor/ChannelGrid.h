// The 16-row channel grid: header labels and per-row controls laid out in the window's grid
// layout, reading and writing a row as a ChannelRow, and the channel-label row copy. The
// window owns the refresh logic; the grid only announces what the operator did.
#pragma once

#include "image/ChannelRow.h"
#include "image/EEImage.h"

#include <QLabel>
#include <QObject>
#include <QStringList>
#include <array>

class QCheckBox;
class QComboBox;
class QGridLayout;
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

class ChannelGrid : public QObject {
    Q_OBJECT
public:
    // Creates the header labels and the rows as children of `parent`, in `layout` from
    // `firstRow` down (two header rows, then the 16 channels).
    ChannelGrid(QWidget* parent, QGridLayout* layout, int firstRow);

    template <typename T> using Column = std::array<T*, kChannels>;
    Column<ClickableLabel> lblChan{};
    Column<QLineEdit> txtTXFreq{};
    Column<QLineEdit> txtRxFreq{};
    Column<QComboBox> cmbRef{};
    Column<QLineEdit> txtTxTone{};
    Column<QLineEdit> txtRxTone{};
    Column<QCheckBox> chkSTE{};
    Column<QComboBox> cmbCCT{};
    Column<QCheckBox> chkTxW{};
    Column<QCheckBox> chkTxZ{};
    Column<QCheckBox> chkRxW{};
    Column<QCheckBox> chkRxZ{};

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

    // Item texts replaced in place: positions and selections stay.
    void SetReferenceItems(const QStringList& items);
    // The CCT lists rebuilt from scratch.
    void SetCctItems(const QStringList& items);

    // Tab order row by row: Tx Freq., Rx Freq., PLL Ref., tones, STE, CCT, Tx W/Z, Rx W/Z.
    // Chains after `before` (when given) and returns the last control.
    QWidget* ChainTabOrder(QWidget* before);

signals:
    void FrequencyLeft(int row);
    void ToneLeft(int row, bool transmit);
    void ReferenceChanged(int row);
    void ChannelClicked(int row);

private:
    std::array<int, kChannels> keptCct_;
};

} // namespace ostrand
