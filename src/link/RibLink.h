// SPDX-License-Identifier: GPL-3.0-or-later
// The serial conversation with the RIB: the port, the receive buffer, the waits and the
// exchanges. One object per radio operation; it talks to the operator only through the log.
// Every wait runs a nested event loop: nothing started from it may run one of its own (a modal
// dialog), or the wait cannot end before that one does.
#pragma once

#include "common/Clock.h"
#include "link/RadioHost.h"
#include "link/RibProtocol.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QStringList>
#include <functional>

namespace ostrand {

struct Exchange;

class RibLink : public QObject {
    Q_OBJECT
public:
    // Logs through `report`; every wait and pause runs on `clock`.
    RibLink(OperationReport& report, Clock& clock, QObject* parent = nullptr);
    ~RibLink() override;

    // Opens `device` at 2400 8N1 without flow control. On failure nothing is sent and `failure`
    // holds a text for the status window (device, reason, what to do).
    bool Open(const QString& device, QString& failure);
    void Close();

    // True once the clock was stopped during a wait (the window closed, the command line was
    // interrupted): every later wait ends at once and the exchanges give up.
    bool Aborted() const { return aborted_; }
    // True once the port reported a read, write or resource error: the device went away or the
    // line hung up. The port is closed then, and every later exchange fails at once.
    bool LineGone() const { return lineGone_; }

    void delay(int dly);
    bool FindRIB();
    bool SendCmdWaitPrompt(const QByteArray& i);
    bool GetCompareResult(const QByteArray& i);
    // The fields of the identification answer (a missing one is empty), and the result: both
    // fields found and neither 255.
    bool GetRadioID(RadioIdFields& fields);
    void PutIntelHex(const QByteArray& cmd, const Block& block, bool& passfail);
    // Parses into `received` (starting from its contents); the caller takes it only on success.
    void GetIntelHex(const QByteArray& cmd, Block& received, bool& passfail);

private:
    // Aborted: the exchange cannot go on (the clock was stopped, or the line is gone).
    enum class WaitEnd { Condition, Timeout, Aborted };
    struct Answer {
        bool ok; // what ends the exchange arrived, and it means yes
        QByteArray text;
    };

    // `onLine`: the wait is for the RIB, so a vanished line ends it (a pause goes on).
    WaitEnd Wait(int ms, const std::function<bool()>& condition, bool onLine = true);
    // One of the four exchanges of the table in RibLink.cpp.
    Answer Run(const Exchange& exchange, const QByteArray& command);
    void Send(const QByteArray& text);
    void Log(const QString& text) { report_.Log(text); }
    void OnReadyRead();
    void OnError(QSerialPort::SerialPortError error);
    // The RIB's "*" prompt: it is ready for the next command.
    bool HasPrompt() const { return inbuf_.contains('*'); }

    OperationReport& report_;
    Clock& clock_;
    QSerialPort port_;
    bool aborted_ = false;
    bool lineGone_ = false;
    bool overflowLogged_ = false;
    QByteArray inbuf_;
};

// The device node a configured name stands for: a bare name such as ttyUSB0 lies in /dev.
QString DevicePath(const QString& device);

// The facts of a device node that the port-open advice rests on.
struct DeviceNode {
    bool exists = false;
    bool accessible = false; // this process may read and write it
    QString owner, group;
    int mode = 0;             // permission bits, 0660 for rw-rw----
    QStringList presentPorts; // the serial ports that do exist, gathered when this one does not

    static DeviceNode Look(const QString& path);
};

// The status text when the port cannot be opened: the device, the reason, what to do. A group
// is named only when it may read and write the node. `refused`: the port said permission
// denied although the node is accessible, i.e. another program holds it.
QString PortOpenFailureText(const QString& device, const DeviceNode& node, bool refused,
                            const QString& errorText);

// Quoted text for the log: received and sent bytes as they are (Latin-1), cut after a length
// no RIB answer reaches.
QString Quoted(QByteArrayView text);

} // namespace ostrand
