// SPDX-License-Identifier: GPL-3.0-or-later
// Options > Serial Port...: the ports this computer has, a field for any other path (a
// pseudo-terminal, a network bridge) and a Test that wakes the RIB on the device in the field.
#pragma once

#include "link/SerialPorts.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ostrand {

class SerialPortDialog : public QDialog {
    Q_OBJECT
public:
    // `current`: the chosen device (empty: none, [Serial] applies); `configured`: what
    // Ostrand.ini names. Waits run on a clock of `timeScale`.
    SerialPortDialog(const QList<SerialPortEntry>& ports, const QString& current,
                     const QString& configured, double timeScale, QWidget* parent = nullptr);
    ~SerialPortDialog() override;

    // The device in the field, trimmed; empty means Ostrand.ini's.
    QString Device() const;
    // Runs the wake-up on the field's device and shows the result.
    void Test();

    void done(int result) override;

private:
    QListWidget* lstPorts = nullptr;
    QLineEdit* txtDevice = nullptr;
    QPushButton* cmdTest = nullptr;
    QLabel* lblTestResult = nullptr;
    QString configured_;
    double timeScale_;
    Clock* testing_ = nullptr; // the running test's clock: closing stops it
};

} // namespace ostrand
