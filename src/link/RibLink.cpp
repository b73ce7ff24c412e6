#include "link/RibLink.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QMetaEnum>
#include <cmath>

namespace ostrand {

namespace {

constexpr int kBaud = 2400;
// 8N1: ten bit times per character.
constexpr double kMsPerChar = 10.0 * 1000.0 / kBaud;

} // namespace

QString Quoted(QByteArrayView text) {
    return QString::fromLatin1(text);
}

QString PortOpenFailureText(const QString& device, bool exists, bool accessible,
                            const QString& group, bool refused, const QString& errorText) {
    const QString head = "Cannot open " + device + ": ";
    if (!exists) return head + "no such device.\nIs the RIB plugged in?";
    if (!accessible)
        return head + "permission denied.\n" +
               (group.isEmpty()
                    ? QString("Your user needs read and write access to it.")
                    : "Your user must be in the group \"" + group + "\" (then log in again).");
    if (refused) return head + "it is in use by another program.";
    return head + errorText;
}

RibLink::RibLink(RadioHost& host, LinkTiming timing, QObject* parent)
    : QObject(parent), host_(host), timing_(timing) {
    timer1_.setSingleShot(true);
    connect(&timer1_, &QTimer::timeout, this, &RibLink::OnTimer1);
    closingPoll_.setInterval(timing_.closingPoll);
    connect(&closingPoll_, &QTimer::timeout, this, [this] {
        if (host_.Closing()) {
            aborted_ = true;
            if (loop_) loop_->quit();
        }
    });
    connect(&port_, &QSerialPort::readyRead, this, &RibLink::OnReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &RibLink::OnError);
}

RibLink::~RibLink() {
    Close();
}

bool RibLink::Open(QString& failure) {
    const QString device = host_.SerialDevice();
    if (device.trimmed().isEmpty()) {
        failure = "No serial device is configured";
        return false;
    }
    port_.setPortName(device);
    port_.setBaudRate(kBaud);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (port_.open(QIODevice::ReadWrite)) {
        // Whatever sat in the line before this operation is not an answer to it.
        port_.clear();
        inbuf_.clear();
        return true;
    }
    // QSerialPort reports a busy device and a forbidden one alike; the node tells them apart.
    const QFileInfo path(device.startsWith('/') ? device : "/dev/" + device);
    failure = PortOpenFailureText(
        path.filePath(), path.exists(), path.isReadable() && path.isWritable(), path.group(),
        port_.error() == QSerialPort::PermissionError, port_.errorString());
    return false;
}

void RibLink::Close() {
    timer1_.stop();
    if (port_.isOpen()) port_.close();
}

void RibLink::Arm(int realMs) {
    timer1Expired_ = false;
    timer1_.start(timing_.Scaled(realMs));
}

void RibLink::Disarm() {
    timer1_.stop();
}

void RibLink::OnTimer1() {
    timer1_.stop();
    timer1Expired_ = true;
    if (loop_) loop_->quit();
}

void RibLink::CheckWait() {
    if (loop_ && condition_ && condition_()) loop_->quit();
}

RibLink::WaitEnd RibLink::Wait(const std::function<bool()>& condition) {
    if (aborted_ || host_.Closing() || loop_) {
        aborted_ = true;
        return WaitEnd::Aborted;
    }
    if (condition()) return WaitEnd::Condition;
    if (timer1Expired_) return WaitEnd::Timeout;
    QEventLoop loop;
    loop_ = &loop;
    condition_ = condition;
    closingPoll_.start();
    loop.exec();
    closingPoll_.stop();
    condition_ = {};
    loop_ = nullptr;
    if (condition()) return WaitEnd::Condition;
    if (timer1Expired_ && !aborted_) return WaitEnd::Timeout;
    // Neither the answer nor the timer: the window is closing or the application quits.
    aborted_ = true;
    return WaitEnd::Aborted;
}

void RibLink::Send(const QByteArray& text) {
    if (port_.isOpen()) port_.write(text);
}

void RibLink::OnReadyRead() {
    inbuf_ += port_.readAll();
    CheckWait();
}

void RibLink::OnError(QSerialPort::SerialPortError error) {
    // The line conditions (break, framing, parity, overrun) have no error code in Qt 6's
    // serial port; what it does report is logged the same way and otherwise ignored, except
    // that a vanished device is closed so its dead descriptor cannot flood the event loop.
    if (error == QSerialPort::NoError || !port_.isOpen()) return;
    Log("OnComm: " +
        QString(QMetaEnum::fromType<QSerialPort::SerialPortError>().valueToKey(error)) + " '" +
        port_.errorString() + "'");
    if (error == QSerialPort::ResourceError) port_.close();
}

void RibLink::delay(int dly) {
    Disarm();
    Arm(dly);
    Wait([] { return false; });
}

bool RibLink::FindRIB() {
    Log("FindRIB: Entered");
    inbuf_.clear();
    int cnt = 10;
    for (;;) {
        Send(rib::kWakeUp);
        Arm(1000);
        Log("FindRIB: Sent Init");
        const WaitEnd end = Wait([this] { return HasPrompt(); });
        Log("FindRIB: Wait exited with '" + Quoted(inbuf_) + "'");
        Log("FindRIB: cnt=" + QString::number(cnt));
        --cnt;
        if (HasPrompt() || cnt == 0 || end == WaitEnd::Aborted) break;
    }
    const bool found = HasPrompt() && !aborted_;
    Log("FindRIB: Loop exited with '" + Quoted(inbuf_) + "'");
    inbuf_.clear();
    return found;
}

bool RibLink::SendCmdWaitPrompt(const QByteArray& i) {
    Log("SendCmdWaitPrompt: Entered");
    inbuf_.clear();
    int cnt = 4;
    Disarm();
    for (;;) {
        Send(i);
        Arm(2000);
        Log("SendCmdWaitPrompt: Sent '" + Quoted(i) + "'");
        const WaitEnd end = Wait([this] { return HasPrompt(); });
        Log("SendCmdWaitPrompt: wait exited with '" + Quoted(inbuf_) + "'");
        --cnt;
        if (HasPrompt() || cnt == 0 || end == WaitEnd::Aborted) break;
    }
    Log("SendCmdWaitPrompt: loop exited with '" + Quoted(inbuf_) + "'");
    const bool result = HasPrompt() && !aborted_;
    Log(result ? "SendCmdWaitPrompt: True" : "SendCmdWaitPrompt: False");
    inbuf_.clear();
    return result;
}

bool RibLink::GetCompareResult(const QByteArray& i) {
    Log("GetCompareResult: Entered with '" + Quoted(i) + "'");
    inbuf_.clear();
    int cnt = 4;
    Disarm();
    const auto verdict = [this] { return inbuf_.contains("==") || inbuf_.contains("<>"); };
    for (;;) {
        Send(i);
        Arm(2000);
        const WaitEnd end = Wait(verdict);
        --cnt;
        if (verdict() || cnt == 0 || end == WaitEnd::Aborted) break;
    }
    const bool result = inbuf_.contains("==") && !aborted_;
    if (result) Log("GetCompareResult: True");
    Log("GetCompareResult: Exiting with '" + Quoted(inbuf_) + "'");
    inbuf_.clear();
    return result;
}

bool RibLink::GetRadioID() {
    Log("GetRadioID: Entered");
    Disarm();
    inbuf_.clear();
    int cnt = 4;
    for (;;) {
        Send(rib::kGid);
        Arm(2000);
        Log("GetRadioID: GID sent");
        const WaitEnd end = Wait([this] { return HasPrompt(); });
        Log("GetRadioID: wait exited with '" + Quoted(inbuf_) + "'");
        Log("GetRadioID: cnt=" + QString::number(cnt));
        --cnt;
        if (HasPrompt() || cnt == 0 || end == WaitEnd::Aborted) break;
    }
    Log("GetRadioID: Loop exited with '" + Quoted(inbuf_) + "'");
    if (aborted_) {
        inbuf_.clear();
        return false;
    }
    // The fields count even without the prompt; a missing one keeps the value it had.
    const RadioIdFields fields = ParseRadioId(inbuf_);
    bool result = fields.id && fields.revision;
    const int16_t id = fields.id.value_or(host_.CurRadioID());
    const int16_t revision = fields.revision.value_or(host_.CurRevision());
    host_.SetIdentity(id, revision);
    if (id == 255 || revision == 255) result = false;
    inbuf_.clear();
    return result;
}

void RibLink::PutIntelHex(const QByteArray& cmd, const Block& block, bool& passfail) {
    Log("PutIntelHex: Entered");
    Send(cmd);
    Log("PutIntelHex: Sent '" + Quoted(cmd) + "'");
    qsizetype queued = cmd.size();
    for (const QByteArray& field : IntelHexFields(block)) {
        Send(field);
        queued += field.size();
    }
    const QByteArray terminator = QByteArray(rib::kEndRecord) + "\r\n";
    queued += terminator.size();
    // The port only queues what it is given: at 2400 baud the records are still on the line
    // for about 1.5 s, and the RIB cannot prompt before it has them all. The one second the
    // RIB has to answer therefore starts counting when the last character can have arrived.
    const int lineMs = static_cast<int>(std::ceil(queued * kMsPerChar));
    Disarm();
    Arm(1000 + lineMs);
    Log("PutIntelHex: Data sent");
    inbuf_.clear();
    Send(terminator);
    Log("PutIntelHex: Terminator sent");
    Wait([this] { return HasPrompt(); });
    passfail = HasPrompt() && !aborted_;
    Log((passfail ? "PutIntelHex: Passed with '" : "PutIntelHex: Failed with '") + Quoted(inbuf_) +
        "'");
}

void RibLink::GetIntelHex(const QByteArray& cmd, Block& received, bool& passfail) {
    Disarm();
    Arm(10000);
    Log("GetIntelHex: Entered");
    Send(cmd);
    Log("GetIntelHex: Sent '" + Quoted(cmd) + "'");
    const auto endRecord = [this] { return inbuf_.contains(rib::kEndRecord); };
    Wait(endRecord);
    Log("GetIntelHex: Wait exited with '" + Quoted(inbuf_) + "'");
    if (!endRecord() || aborted_) {
        passfail = false;
        Log("GetIntelHex: Failed to get EOR");
        return;
    }
    const IntelHexResult r = ParseIntelHex(inbuf_, received);
    for (const QString& line : r.log)
        Log(line);
    passfail = r.passfail;
    if (passfail) received = r.bytes;
}

} // namespace ostrand
