// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SerialPortDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

namespace ostrand {

SerialPortDialog::SerialPortDialog(const QList<SerialPortEntry>& ports, const QString& current,
                                   const QString& configured, double timeScale, QWidget* parent)
    : QDialog(parent), configured_(configured), timeScale_(timeScale) {
    setObjectName(QStringLiteral("frmSerialPort"));
    setWindowTitle(QStringLiteral("Serial Port"));
    auto* layout = new QVBoxLayout(this);

    auto* lblPorts = new QLabel(QStringLiteral("&Ports on this computer:"), this);
    layout->addWidget(lblPorts);
    lstPorts = new QListWidget(this);
    lstPorts->setObjectName(QStringLiteral("lstPorts"));
    lblPorts->setBuddy(lstPorts);
    for (const SerialPortEntry& port : ports) {
        auto* item = new QListWidgetItem(PortLine(port), lstPorts);
        item->setData(Qt::UserRole, port.device);
        if (port.device == current) item->setSelected(true);
    }
    if (ports.isEmpty()) {
        auto* none = new QListWidgetItem(QStringLiteral("no serial ports found"), lstPorts);
        none->setFlags(Qt::NoItemFlags);
    }
    layout->addWidget(lstPorts);

    auto* lblDevice = new QLabel(QStringLiteral("&Device (a port above, or any path):"), this);
    layout->addWidget(lblDevice);
    txtDevice = new QLineEdit(current, this);
    txtDevice->setObjectName(QStringLiteral("txtDevice"));
    txtDevice->setPlaceholderText(configured.isEmpty() ? QStringLiteral("none configured")
                                                       : configured);
    lblDevice->setBuddy(txtDevice);
    layout->addWidget(txtDevice);
    auto* lblNote = new QLabel(QStringLiteral("Empty: the device of [Serial] in Ostrand.ini (%1).")
                                   .arg(configured.isEmpty() ? QStringLiteral("none") : configured),
                               this);
    lblNote->setWordWrap(true);
    layout->addWidget(lblNote);

    auto* test = new QHBoxLayout;
    cmdTest = new QPushButton(QStringLiteral("&Test"), this);
    cmdTest->setObjectName(QStringLiteral("cmdTest"));
    cmdTest->setAutoDefault(false);
    lblTestResult = new QLabel(this);
    lblTestResult->setObjectName(QStringLiteral("lblTestResult"));
    lblTestResult->setWordWrap(true);
    lblTestResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    test->addWidget(cmdTest, 0, Qt::AlignTop);
    test->addWidget(lblTestResult, 1);
    layout->addLayout(test);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);

    // A selection, not the current item: focus entering the list makes its first item
    // current without the operator choosing it.
    connect(lstPorts, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> chosen = lstPorts->selectedItems();
        if (!chosen.isEmpty()) txtDevice->setText(chosen.first()->data(Qt::UserRole).toString());
    });
    connect(cmdTest, &QPushButton::clicked, this, &SerialPortDialog::Test);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(560, 360);
}

SerialPortDialog::~SerialPortDialog() {
    if (testing_) testing_->Stop();
}

QString SerialPortDialog::Device() const {
    return txtDevice->text().trimmed();
}

void SerialPortDialog::Test() {
    if (testing_) return;
    const QString device = Device().isEmpty() ? configured_ : Device();
    Clock clock(timeScale_);
    const QScopedValueRollback running(testing_, &clock);
    cmdTest->setEnabled(false);
    lblTestResult->setText(QStringLiteral("Searching for RIB on %1...").arg(device));
    const QString result = TestRib(device, clock);
    if (!clock.Stopped()) {
        lblTestResult->setText(result);
        cmdTest->setEnabled(true);
    }
}

void SerialPortDialog::done(int result) {
    // A test still searching ends with the window.
    if (testing_) testing_->Stop();
    QDialog::done(result);
}

} // namespace ostrand
