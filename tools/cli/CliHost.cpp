#include "CliHost.h"

#include <QTime>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace ostrand::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
    interrupted = 1;
}

} // namespace

CliHost::CliHost(int16_t curRadioID, QString device, QString logPath, bool yesCpuMismatch)
    : curRadioID_(curRadioID), device_(std::move(device)), logPath_(std::move(logPath)),
      yesCpuMismatch_(yesCpuMismatch), out_(stdout) {}

void CliHost::SetStatus(const QString& text) {
    // The status window breaks lines with CR LF; a terminal wants LF.
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out_ << line << '\n';
    out_.flush();
}

void CliHost::Beep() {
    if (::isatty(STDOUT_FILENO)) {
        out_ << '\a';
        out_.flush();
    }
}

bool CliHost::ConfirmCpuMismatch(const QString& text, const QString& title) {
    out_ << title << ": " << text << '\n';
    if (yesCpuMismatch_) {
        out_ << "Yes (--yes-cpu-mismatch)\n";
    } else {
        out_ << "No (--yes-cpu-mismatch writes it anyway)\n";
        declined_ = true;
    }
    out_.flush();
    return yesCpuMismatch_;
}

void CliHost::SetIdentity(int16_t curRadioID, int16_t curRevision) {
    curRadioID_ = curRadioID;
    curRevision_ = curRevision;
}

void CliHost::Log(const QString& text) {
    if (logPath_.isEmpty()) return;
    QFile log(logPath_);
    const QByteArray line = (QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) +
                             QStringLiteral(" : ") + text + QStringLiteral("\r\n"))
                                .toLocal8Bit();
    const bool ok = log.open(QIODevice::WriteOnly | QIODevice::Append) &&
                    log.write(line) == line.size() && log.flush();
    if (!ok && logOk_) // once, never to the operation that logs
        std::fprintf(stderr, "ostrand-cli: cannot write the log %s: %s\n", qPrintable(logPath_),
                     qPrintable(log.errorString()));
    logOk_ = logOk_ && ok;
}

bool CliHost::Closing() const {
    return Interrupted();
}

void CliHost::CatchInterrupts() {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
}

bool CliHost::Interrupted() {
    return interrupted != 0;
}

} // namespace ostrand::cli
