// SPDX-License-Identifier: GPL-3.0-or-later
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

RibLink::RibLink(OperationReport& report, Clock& clock, QObject* parent)
    : QObject(parent), report_(report), clock_(clock) {
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
    if (port_.isOpen()) port_.close();
}

RibLink::WaitEnd RibLink::Wait(int ms, const std::function<bool()>& condition, bool onLine) {
    if (aborted_) return WaitEnd::Aborted;
    const bool gone = lineGone_ && onLine;
    if (gone) return condition() ? WaitEnd::Condition : WaitEnd::Aborted;
    const Clock::End end = clock_.Wait(ms, [&] { return condition() || (onLine && lineGone_); });
    // Neither the answer nor the timer: the window is closing or the application quits.
    if (end == Clock::End::Stopped) {
        aborted_ = true;
        return WaitEnd::Aborted;
    }
    if (condition()) return WaitEnd::Condition;
    return lineGone_ && onLine ? WaitEnd::Aborted : WaitEnd::Timeout;
}

void RibLink::Send(const QByteArray& text) {
    // Nothing more reaches the RIB once the operation was stopped.
    if (port_.isOpen() && !aborted_) port_.write(text);
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
    clock_.Recheck();
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
    clock_.Recheck();
}

void RibLink::delay(int dly) {
    Wait(
        dly, [] { return false; }, false);
}

// The four request/answer exchanges: what is sent, how often and how long each answer is
// waited for, what ends the wait, and the log lines of each step (none where empty).
struct Exchange {
    const char* name;
    int tries;
    int timeoutMs;
    bool verdict;           // the compare's "==" or "<>" ends it; otherwise the prompt "*"
    const char* entered;    // "%1" stands for the command
    const char* sent;       // after each send
    const char* waited;     // after each wait, with the answer so far
    bool counted;           // "cnt=" and the tries left, after each wait
    const char* exited;     // after the last try, with the answer
    bool logTrue, logFalse; // the result
    const char* exiting;    // last, with the answer
};

namespace {

// clang-format off
//                             name                 tries  ms    verdict  entered
//                             sent          waited               counted  exited
//                             logTrue logFalse exiting
constexpr Exchange kFindRib   {"FindRIB",           10,    1000, false,   "Entered",
                               "Sent Init",  "Wait exited with",  true,    "Loop exited with",
                               false,  false,   ""};
constexpr Exchange kGetRadioId{"GetRadioID",        4,     2000, false,   "Entered",
                               "GID sent",   "wait exited with",  true,    "Loop exited with",
                               false,  false,   ""};
constexpr Exchange kSendCmd   {"SendCmdWaitPrompt", 4,     2000, false,   "Entered",
                               "Sent '%1'",  "wait exited with",  false,   "loop exited with",
                               true,   true,    ""};
constexpr Exchange kCompare   {"GetCompareResult",  4,     2000, true,    "Entered with '%1'",
                               "",           "",                  false,   "",
                               true,   false,   "Exiting with"};
// clang-format on

} // namespace

RibLink::Answer RibLink::Run(const Exchange& x, const QByteArray& command) {
    const QString name = QLatin1String(x.name) + QStringLiteral(": ");
    const auto log = [&](const char* text, const QString& arg = {}) {
        if (*text) Log(name + QString::fromLatin1(text).replace(QStringLiteral("%1"), arg));
    };
    const auto quoted = [this](const char* label) {
        return QString::fromLatin1(label) + " '" + Quoted(inbuf_) + "'";
    };
    log(x.entered, Quoted(command));
    inbuf_.clear();
    const auto ended = [&] {
        return x.verdict ? inbuf_.contains("==") || inbuf_.contains("<>") : HasPrompt();
    };
    for (int cnt = x.tries;;) {
        Send(command);
        log(x.sent, Quoted(command));
        const WaitEnd end = Wait(x.timeoutMs, ended);
        if (*x.waited) Log(name + quoted(x.waited));
        if (x.counted) Log(name + "cnt=" + QString::number(cnt));
        --cnt;
        if (ended() || cnt == 0 || end == WaitEnd::Aborted) break;
    }
    if (*x.exited) Log(name + quoted(x.exited));
    Answer answer{!aborted_ && (x.verdict ? inbuf_.contains("==") : HasPrompt()), inbuf_};
    if (answer.ok ? x.logTrue : x.logFalse) Log(name + (answer.ok ? "True" : "False"));
    if (*x.exiting) Log(name + quoted(x.exiting));
    inbuf_.clear();
    return answer;
}

bool RibLink::FindRIB() {
    return Run(kFindRib, rib::kWakeUp).ok;
}

bool RibLink::SendCmdWaitPrompt(const QByteArray& i) {
    return Run(kSendCmd, i).ok;
}

bool RibLink::GetCompareResult(const QByteArray& i) {
    return Run(kCompare, i).ok;
}

bool RibLink::GetRadioID(RadioIdFields& fields) {
    const Answer answer = Run(kGetRadioId, rib::kGid);
    // The fields count even without the prompt.
    fields = aborted_ ? RadioIdFields{} : ParseRadioId(answer.text);
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
    Log("PutIntelHex: Data sent");
    inbuf_.clear();
    Send(terminator);
    Log("PutIntelHex: Terminator sent");
    Wait(1000 + lineMs, [this] { return HasPrompt(); });
    passfail = HasPrompt() && !aborted_;
    Log((passfail ? "PutIntelHex: Passed with '" : "PutIntelHex: Failed with '") + Quoted(inbuf_) +
        "'");
}

void RibLink::GetIntelHex(const QByteArray& cmd, Block& received, bool& passfail) {
    Log("GetIntelHex: Entered");
    Send(cmd);
    Log("GetIntelHex: Sent '" + Quoted(cmd) + "'");
    const auto endRecord = [this] { return inbuf_.contains(rib::kEndRecord); };
    Wait(10000, endRecord);
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
