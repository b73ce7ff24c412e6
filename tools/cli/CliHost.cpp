// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliHost.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace ostrand::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;
// The signal handler may only write to a pipe; its other end wakes the event loop.
int interruptPipe[2] = {-1, -1};

extern "C" void OnInterrupt(int) {
    interrupted = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(interruptPipe[1], &byte, 1);
}

} // namespace

CliHost::CliHost(int16_t curRadioID, QString device, QString logPath, bool yesCpuMismatch)
    : curRadioID_(curRadioID), device_(std::move(device)),
      log_(QStringLiteral("ostrand-cli"), logPath, !logPath.isEmpty()),
      yesCpuMismatch_(yesCpuMismatch), out_(stdout) {}

void CliHost::SetStatus(const QString& text) {
    // The status window breaks lines with CR LF; a terminal wants LF.
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // A status that adds a line to the one standing ("Done" and why no backup was kept)
    // replaces it in the status window; the terminal shows that line already.
    const QString shown = std::exchange(shown_, line);
    if (!shown.isEmpty() && line.startsWith(shown + u'\n')) line.remove(0, shown.size() + 1);
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
    log_.Append(text);
}

void CliHost::StopOnInterrupt(Clock& clock) {
    if (interruptPipe[0] < 0 && ::pipe2(interruptPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(interruptPipe[0], QSocketNotifier::Read, &clock);
    QObject::connect(notifier, &QSocketNotifier::activated, &clock, [&clock] {
        char byte;
        while (::read(interruptPipe[0], &byte, 1) > 0) {
        }
        clock.Stop();
    });
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
}

bool CliHost::Interrupted() {
    return interrupted != 0;
}

} // namespace ostrand::cli
