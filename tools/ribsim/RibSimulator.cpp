// SPDX-License-Identifier: GPL-3.0-or-later
#include "RibSimulator.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace {

QByteArray Hex2(int value) {
    return QByteArray::number(value & 0xFF, 16).toUpper().rightJustified(2, '0');
}

int HexValue(const QByteArray& text, int at, int width) {
    bool ok = false;
    const int v = text.mid(at, width).toInt(&ok, 16);
    return ok ? v : -1;
}

// What the test or the user sees of a received line: control characters spelled out.
QByteArray Printable(const QByteArray& line) {
    QByteArray out;
    for (char c : line) {
        if (c == 0x1B)
            out += "<ESC>";
        else if (static_cast<unsigned char>(c) < 0x20)
            out += "<" + Hex2(c) + ">";
        else
            out += c;
    }
    return out;
}

} // namespace

RibSimulator::RibSimulator(int masterFd, const SimOptions& options, const Block& radio)
    : master_(masterFd), options_(options), radio_(radio), f800_(radio) {
    notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &RibSimulator::OnReadable);
    pacer_.setTimerType(Qt::PreciseTimer);
    pacer_.setInterval(2);
    connect(&pacer_, &QTimer::timeout, this, &RibSimulator::Pace);
    inputPacer_.setTimerType(Qt::PreciseTimer);
    inputPacer_.setInterval(1);
    connect(&inputPacer_, &QTimer::timeout, this, &RibSimulator::PaceInput);
    clock_.start();
    connect(&flooder_, &QTimer::timeout, this, &RibSimulator::Flood);
    if (options_.flood) flooder_.start(0);
}

QString RibSimulator::Keyword(const QByteArray& line) {
    if (line.contains("ZZZZ")) return "WAKE";
    const QByteArray t = line.trimmed();
    if (t.startsWith(':')) return "DATA";
    for (const char* k : {"GID", "SID", "RRD", "WRD", "IOT", "IIT", "CMP"})
        if (t.startsWith(k)) return k;
    return "OTHER";
}

void RibSimulator::OnReadable() {
    char buffer[512];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) {
        if (n < 0 && errno == EAGAIN) return;
        // Nobody on the other side any more; wait for the next one.
        notifier_->setEnabled(false);
        QTimer::singleShot(100, this, [this] { notifier_->setEnabled(true); });
        return;
    }
    receivedCount_ += n;
    if (!options_.paceInput || options_.msPerChar <= 0) {
        Receive(QByteArrayView(buffer, n));
        return;
    }
    // The terminal delivers at once what a 2400-baud line delivers one character at a time.
    const qint64 perChar = static_cast<qint64>(options_.msPerChar * 1e6);
    for (ssize_t i = 0; i < n; ++i) {
        lineFreeNs_ = std::max(lineFreeNs_, clock_.nsecsElapsed()) + perChar;
        arriving_ += buffer[i];
        arrivalNs_ << lineFreeNs_;
    }
    if (!inputPacer_.isActive()) inputPacer_.start();
}

void RibSimulator::PaceInput() {
    const qint64 now = clock_.nsecsElapsed();
    qsizetype count = 0;
    while (count < arrivalNs_.size() && arrivalNs_[count] <= now)
        ++count;
    const QByteArray arrived = arriving_.left(count);
    arriving_.remove(0, count);
    arrivalNs_.remove(0, count);
    if (arriving_.isEmpty()) inputPacer_.stop();
    Receive(arrived);
}

void RibSimulator::Receive(QByteArrayView text) {
    for (const char c : text) {
        // Two records in: the rest of the transfer never arrives.
        if (loadingRecords_ && options_.hangupOn == "DATA" && line_.size() == 86) {
            std::printf("< %s\n", Printable(line_).constData());
            HangUp();
            return;
        }
        if (c == '\r' || c == '\n') {
            if (!line_.isEmpty()) Handle(line_);
            line_.clear();
        } else {
            line_ += c;
        }
    }
}

void RibSimulator::Handle(const QByteArray& line) {
    const QString keyword = loadingRecords_ ? QString("DATA") : Keyword(line);
    std::printf("< %s\n", Printable(line).constData());
    std::fflush(stdout);
    if (keyword == "DATA") {
        StoreRecords(line);
        if (!line.contains(":00000001FF")) return;
        loadingRecords_ = false;
    }
    if (keyword == "IIT") {
        // The records follow; the RIB prompts only after their end record.
        loadingRecords_ = true;
        f000_.fill(0xFF);
        return;
    }
    if (keyword == options_.hangupOn) {
        HangUp();
        return;
    }
    const int receipt = ++receipts_[keyword];
    if (options_.silent.value("ALL") || options_.silent.value(keyword)) return;
    if (receipt <= options_.ignoreFirst.value(keyword)) return;

    QByteArray answer = Answer(keyword);
    if (options_.noPrompt.value(keyword) && answer.endsWith('*')) answer.chop(1);
    if (options_.echo) answer.prepend(line + "\r\n");
    if (options_.noise) answer.prepend(QByteArray("~#%&!\x07?") + QByteArray::number(++noiseSeed_));
    const int late = options_.lateMs.value(keyword, options_.lateMs.value("ALL", 0));
    if (late > 0)
        QTimer::singleShot(late, this, [this, answer] { Send(answer); });
    else
        Send(answer);
}

QByteArray RibSimulator::Answer(const QString& keyword) {
    if (keyword == "WAKE") return "\r\nRIB READY\r\n*";
    if (keyword == "GID") {
        const QByteArray fields =
            options_.gidText.isNull()
                ? "RADIO ID: " + Hex2(options_.cpu) +
                      "\r\nRADIO SOFTWARE REVISION: " + Hex2(options_.revision)
                : options_.gidText;
        return "\r\n" + fields + "\r\n*";
    }
    if (keyword == "SID") return "\r\n*";
    if (keyword == "RRD") {
        f800_ = radio_;
        return "\r\n*";
    }
    if (keyword == "WRD") {
        radio_ = f000_;
        Save();
        return "\r\n*";
    }
    if (keyword == "IOT") {
        QByteArray records = Records();
        if (options_.hangupAfter >= 0) {
            records.truncate(options_.hangupAfter);
            Send(records);
            QTimer::singleShot(50, this, &RibSimulator::HangUp);
            return {};
        }
        return records + "*";
    }
    if (keyword == "DATA") return "\r\n*";
    if (keyword == "CMP") {
        if (!options_.cmpText.isNull()) return "\r\n" + options_.cmpText + "\r\n*";
        const bool same = f000_ == f800_ && !options_.compareDiffer;
        return same ? "\r\n==\r\n*" : "\r\n<>\r\n*";
    }
    return "\r\n?\r\n*";
}

QByteArray RibSimulator::Records() const {
    QByteArray out;
    for (int k = 0; k < 8; ++k) {
        if (k == options_.missingRecord) continue;
        const int a = 16 * k;
        QByteArray record = ":10" + Hex2(a >> 8) + Hex2(a) + "00";
        int sum = 16 + a;
        for (int j = 0; j < 16; ++j) {
            record += Hex2(f800_[a + j]);
            sum += f800_[a + j];
        }
        int checksum = (256 - sum % 256) % 256;
        if (k == options_.badChecksumRecord) checksum = (checksum + 1) % 256;
        record += Hex2(checksum) + "\r\n";
        if (options_.noise) record += "\x07#";
        out += record;
    }
    return out + ":00000001FF\r\n";
}

void RibSimulator::StoreRecords(const QByteArray& text) {
    for (qsizetype p = text.indexOf(':'); p >= 0; p = text.indexOf(':', p + 1)) {
        const int n = HexValue(text, p + 1, 2);
        const int a = HexValue(text, p + 3, 4);
        const int t = HexValue(text, p + 7, 2);
        if (n < 0 || a < 0 || t != 0) continue;
        for (int j = 0; j < n && a + j < 128; ++j) {
            const int byte = HexValue(text, p + 9 + 2 * j, 2);
            if (byte >= 0) f000_[a + j] = static_cast<uint8_t>(byte);
        }
    }
}

void RibSimulator::Send(const QByteArray& text) {
    if (options_.msPerChar <= 0) {
        WriteNow(text);
        return;
    }
    if (pending_.isEmpty()) {
        paceClock_.start();
        paceSent_ = 0;
    }
    pending_ += text;
    if (!pacer_.isActive()) pacer_.start();
}

void RibSimulator::Pace() {
    const qint64 due = static_cast<qint64>(paceClock_.nsecsElapsed() / 1e6 / options_.msPerChar);
    const qint64 count = std::min<qint64>(pending_.size(), due - static_cast<qint64>(paceSent_));
    if (count > 0) {
        WriteNow(pending_.left(count));
        pending_.remove(0, count);
        paceSent_ += static_cast<double>(count);
    }
    if (pending_.isEmpty()) pacer_.stop();
}

void RibSimulator::WriteNow(const QByteArray& text) {
    qsizetype done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(master_, text.constData() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            // A full terminal buffer drains once the program reads; a program that stays
            // away loses the rest, as on a real line, instead of the simulator spinning.
            pollfd writable{master_, POLLOUT, 0};
            if (errno == EAGAIN && ::poll(&writable, 1, 1000) > 0) continue;
            return;
        }
        done += n;
        sentCount_ += n;
    }
}

void RibSimulator::HangUp() {
    std::printf("hangup\n");
    std::fflush(stdout);
    notifier_->setEnabled(false);
    flooder_.stop();
    ::close(master_);
    QCoreApplication::exit(0);
}

void RibSimulator::Flood() {
    // Never a prompt, a verdict or an end record, and no waiting for the reader.
    static const QByteArray garbage = QByteArray("~#%&!?\x07").repeated(512);
    if (::write(master_, garbage.constData(), garbage.size()) > 0) sentCount_ += garbage.size();
}

void RibSimulator::Save() const {
    if (options_.saveFile.isEmpty()) return;
    QByteArray digits;
    for (uint8_t b : radio_)
        digits += Hex2(b);
    // Replaced whole: a reader never sees half a radio.
    QSaveFile file(options_.saveFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(digits) != digits.size() || !file.commit())
        std::fprintf(stderr, "ribsim: cannot write %s\n", qPrintable(options_.saveFile));
}
