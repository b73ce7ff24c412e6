// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/SerialPorts.h"

#include "link/RibLink.h"

#include <QSerialPortInfo>

namespace ostrand {

namespace {

// The test says its result in one line and keeps no log.
class QuietReport : public OperationReport {
public:
    void SetStatus(const QString&) override {}
    void Beep() override {}
    bool ConfirmCpuMismatch(const QString&, const QString&) override { return false; }
    void Log(const QString&) override {}
};

QString Hex4(quint16 value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

} // namespace

QList<SerialPortEntry> SystemSerialPorts() {
    QList<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry port{info.systemLocation(),
                             info.description(),
                             info.manufacturer(),
                             info.serialNumber(),
                             {}};
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            port.usbId = Hex4(info.vendorIdentifier()) + u':' + Hex4(info.productIdentifier());
        ports << port;
    }
    return ports;
}

QString PortLine(const SerialPortEntry& port) {
    QStringList known;
    for (const QString& text : {port.description, port.manufacturer})
        if (!text.trimmed().isEmpty()) known << text.trimmed();
    if (!port.serialNumber.trimmed().isEmpty())
        known << QStringLiteral("serial ") + port.serialNumber.trimmed();
    if (!port.usbId.isEmpty()) known << QStringLiteral("USB ") + port.usbId;
    return known.isEmpty() ? port.device : port.device + QStringLiteral("  ") + known.join(", ");
}

QString PortListText(const QList<SerialPortEntry>& ports) {
    if (ports.isEmpty()) return QStringLiteral("no serial ports found\n");
    QString text;
    for (const SerialPortEntry& port : ports)
        text += PortLine(port) + u'\n';
    return text;
}

QString TestRib(const QString& device, Clock& clock) {
    QuietReport report;
    RibLink link(report, clock);
    QString failure;
    if (!link.Open(device.trimmed(), failure)) return failure;
    const bool found = link.FindRIB();
    link.Close();
    if (found) return QStringLiteral("RIB found");
    if (link.Aborted()) return {};
    if (link.LineGone())
        return "Lost the connection to " + DevicePath(device.trimmed()) +
               ". Is the RIB still plugged in?";
    return "RIB not found on " + DevicePath(device.trimmed()) +
           ": no answer to the wake-up. Is the RIB powered and connected to this port?";
}

} // namespace ostrand
