#include "link/RibLink.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMetaEnum>
#include <QSerialPortInfo>
#include <cmath>
#include <sys/stat.h>

namespace ostrand {

namespace {

constexpr int kBaud = 2400;
// 8N1: ten bit times per character.
constexpr double kMsPerChar = 10.0 * 1000.0 / kBaud;
// A RIB answer is a few hundred characters: a device that streams far more than this is no
// RIB, and neither memory nor the log may grow with it.
constexpr qsizetype kReceiveLimit = 64 * 1024;
constexpr qsizetype kQuoteLimit = 4096;

// Read and write permission for the owner (6), the group (3) or the others (0).
bool ReadWrite(int mode, int shift) {
    return ((mode >> shift) & 06) == 06;
}

} // namespace

QString Quoted(QByteArrayView text) {
    if (text.size() <= kQuoteLimit) return QString::fromLatin1(text);
    return QString::fromLatin1(text.first(kQuoteLimit)) +
           QStringLiteral("... (%1 more characters)").arg(text.size() - kQuoteLimit);
}

QString DevicePath(const QString& device) {
    return device.startsWith(u'/') ? device : "/dev/" + device;
}

DeviceNode DeviceNode::Look(const QString& path) {
    const QFileInfo info(path);
    DeviceNode node;
    node.exists = info.exists();
    node.accessible = info.isReadable() && info.isWritable();
    node.owner = info.owner();
    node.group = info.group();
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) node.mode = int(st.st_mode & 0777);
    if (!node.exists) {
        for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
            node.presentPorts << port.systemLocation();
    }
    return node;
}

QString PortOpenFailureText(const QString& device, const DeviceNode& node, bool refused,
                            const QString& errorText) {
    const QString head = "Cannot open " + device + ": ";
    if (!node.exists)
        return head + "no such device.\nIs the RIB plugged in?\n" +
               (node.presentPorts.isEmpty()
                    ? QStringLiteral("No serial port was found on this computer.")
                    : "Serial ports on this computer: " + node.presentPorts.join(", ") + ".");
    if (!node.accessible) {
        const int m = node.mode;
        QString advice;
        if (ReadWrite(m, 0)) {
            advice = "Your user needs read and write access to it.";
        } else if (ReadWrite(m, 3) && node.group != u"root") {
            advice = "Your user must be in the group \"" + node.group + "\" (then log in again).";
        } else {
            // No group may open it: joining its group would not help (and "root" is no group
            // to join), so say who may and how an administrator changes that.
            const bool owner = ReadWrite(m, 6) && node.owner != u"root" && !node.owner.isEmpty();
            advice = "Only " + (owner ? "its owner \"" + node.owner + "\" and root" : "root") +
                     " may open it (" + node.owner + ":" + node.group + ", mode " +
                     QString::number(m, 8).rightJustified(4, u'0') +
                     "). An administrator can give it to a group with a udev rule (for "
                     "example GROUP=\"dialout\", MODE=\"0660\") and add your user to that group.";
        }
        return head + "permission denied.\n" + advice;
    }
    if (refused) return head + "it is in use by another program.";
    return head + errorText;
}

RibLink::RibLink(RadioHost& host, LinkTiming timing, QObject* parent)
    : QObject(parent), host_(host), timing_(timing) {
    // A coarse timer may fire 5 % early; every wait must last at least its length.
    timer1_.setTimerType(Qt::PreciseTimer);
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

bool RibLink::Open(const QString& device, QString& failure) {
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
    const QString path = DevicePath(device);
    failure =
        PortOpenFailureText(path, DeviceNode::Look(path),
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

RibLink::WaitEnd RibLink::Wait(const std::function<bool()>& condition, bool onLine) {
    if (aborted_ || host_.Closing() || loop_) {
        aborted_ = true;
        return WaitEnd::Aborted;
    }
    if (condition()) return WaitEnd::Condition;
    if (lineGone_ && onLine) return WaitEnd::Aborted;
    if (timer1Expired_) return WaitEnd::Timeout;
    QEventLoop loop;
    loop_ = &loop;
    condition_ = condition;
    waitOnLine_ = onLine;
    closingPoll_.start();
    loop.exec();
    closingPoll_.stop();
    condition_ = {};
    loop_ = nullptr;
    if (condition()) return WaitEnd::Condition;
    if (lineGone_ && onLine) return WaitEnd::Aborted;
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
    if (inbuf_.size() > kReceiveLimit) {
        // The newest text stays: an answer's end is what the waits look for. A copy, since
        // removing from the front keeps the whole allocation.
        inbuf_ = inbuf_.right(kReceiveLimit);
        if (!overflowLogged_) Log("OnComm: EventRxOver");
        overflowLogged_ = true;
    }
    CheckWait();
}

void RibLink::OnError(QSerialPort::SerialPortError error) {
    // The line conditions (break, framing, parity, overrun) have no error code in Qt 6's
    // serial port; what it does report is logged. A read, write or resource error means the
    // device went away or the line hung up: the port would report it again on every turn of
    // the event loop, so it is closed and the wait on the RIB ends now.
    if (error == QSerialPort::NoError || !port_.isOpen()) return;
    Log("OnComm: " +
        QString(QMetaEnum::fromType<QSerialPort::SerialPortError>().valueToKey(error)) + " '" +
        port_.errorString() + "'");
    if (error != QSerialPort::ReadError && error != QSerialPort::WriteError &&
        error != QSerialPort::ResourceError)
        return;
    lineGone_ = true;
    port_.close();
    if (loop_ && waitOnLine_) loop_->quit();
}

void RibLink::delay(int dly) {
    Disarm();
    Arm(dly);
    Wait([] { return false; }, false);
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

bool RibLink::GetRadioID(RadioIdFields& fields) {
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
    // The fields count even without the prompt.
    fields = aborted_ ? RadioIdFields{} : ParseRadioId(inbuf_);
    inbuf_.clear();
    return fields.id && fields.revision && *fields.id != 255 && *fields.revision != 255;
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
