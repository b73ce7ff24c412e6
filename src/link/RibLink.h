// The serial conversation with the RIB: the port, the receive buffer, the armed wait and the
// exchanges. One object per radio operation; it talks to the user only through RadioHost.
#pragma once

#include "link/LinkTiming.h"
#include "link/RadioHost.h"
#include "link/RibProtocol.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QTimer>
#include <functional>

class QEventLoop;

namespace ostrand {

class RibLink : public QObject {
    Q_OBJECT
public:
    explicit RibLink(RadioHost& host, LinkTiming timing = {}, QObject* parent = nullptr);
    ~RibLink() override;

    // Opens RadioHost::SerialDevice() at 2400 8N1 without flow control. On failure nothing is
    // sent and `failure` holds a text for the status window (device, reason, what to do).
    bool Open(QString& failure);
    void Close();

    // True once the window closed (or the application quit) during a wait: every later wait
    // ends at once and the exchanges give up.
    bool Aborted() const { return aborted_; }

    void delay(int dly);
    bool FindRIB();
    bool SendCmdWaitPrompt(const QByteArray& i);
    bool GetCompareResult(const QByteArray& i);
    bool GetRadioID();
    void PutIntelHex(const QByteArray& cmd, const Block& block, bool& passfail);
    // Parses into `received` (starting from its contents); the caller takes it only on success.
    void GetIntelHex(const QByteArray& cmd, Block& received, bool& passfail);

private:
    enum class WaitEnd { Condition, Timeout, Aborted };

    void Arm(int realMs);
    void Disarm();
    WaitEnd Wait(const std::function<bool()>& condition);
    void Send(const QByteArray& text);
    void Log(const QString& text) { host_.Log(text); }
    void OnReadyRead();
    void OnError(QSerialPort::SerialPortError error);
    void OnTimer1();
    void CheckWait();
    // The RIB's "*" prompt: it is ready for the next command.
    bool HasPrompt() const { return inbuf_.contains('*'); }

    RadioHost& host_;
    LinkTiming timing_;
    QSerialPort port_;
    QTimer timer1_;
    QTimer closingPoll_;
    bool timer1Expired_ = false;
    bool aborted_ = false;
    QByteArray inbuf_;
    QEventLoop* loop_ = nullptr;
    std::function<bool()> condition_;
};

// The status text when the port cannot be opened: the device, the reason, what to do.
// `refused`: the port said permission denied although the node is accessible, i.e. busy.
QString PortOpenFailureText(const QString& device, bool exists, bool accessible,
                            const QString& group, bool refused, const QString& errorText);

// Quoted text for the log: received and sent bytes as they are (Latin-1).
QString Quoted(QByteArrayView text);

} // namespace ostrand
