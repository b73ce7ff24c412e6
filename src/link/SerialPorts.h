// SPDX-License-Identifier: GPL-3.0-or-later
// The serial ports this computer has, as the port chooser and `ostrand-cli ports` list them,
// and the wake-up test of a port.
#pragma once

#include "common/Clock.h"

#include <QList>
#include <QString>
#include <functional>

namespace ostrand {

struct SerialPortEntry {
    QString device = {}; // the path to open, /dev/ttyUSB0
    QString description = {}, manufacturer = {}, serialNumber = {};
    QString usbId = {}; // "0403:6001", empty when not a USB device
};

// The enumeration behind the list; tests put their own in.
using PortLister = std::function<QList<SerialPortEntry>()>;
QList<SerialPortEntry> SystemSerialPorts();

// "/dev/ttyUSB0  FT232R USB UART, FTDI, serial A10K3XYZ, USB 0403:6001": what is known.
QString PortLine(const SerialPortEntry& port);
// One line per port, or "no serial ports found".
QString PortListText(const QList<SerialPortEntry>& ports);

// Opens `device` and runs the wake-up exchange on `clock`: "RIB found", or what went wrong
// (the port-open advice, no answer, a vanished line). Empty when the clock was stopped.
QString TestRib(const QString& device, Clock& clock);

} // namespace ostrand
