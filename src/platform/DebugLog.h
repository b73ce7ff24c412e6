// SPDX-License-Identifier: GPL-3.0-or-later
// The debug log: one line per message, the time as hours:minutes:seconds, " : ", the text and
// CR LF, appended to a file, a stream or a device (/dev/stderr, a FIFO) alike. Shared by the
// window and the command line.
#pragma once

#include <QString>
#include <utility>

namespace ostrand {

class DebugLog {
public:
    // `who` names the program in the one warning a failing log gives.
    DebugLog(QString who, QString path, bool enabled = false)
        : who_(std::move(who)), path_(std::move(path)), enabled_(enabled) {}

    // The window's "&Debug" check mark; the command line's --log.
    void SetEnabled(bool enabled) { enabled_ = enabled; }

    // Appends one line while enabled. A failure never reaches the operation that logs: it is
    // reported on stderr once per streak of failures.
    void Append(const QString& text);

private:
    QString who_;
    QString path_;
    bool enabled_;
    bool failing_ = false;
};

} // namespace ostrand
