// SPDX-License-Identifier: GPL-3.0-or-later
// Starting other programs: always with an argument list, never through a shell, so paths with
// spaces or quotes reach the program unchanged.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace ostrand {

class Processes {
public:
    virtual ~Processes() = default;
    // Starts the program without waiting for it; false when it could not be started.
    virtual bool StartDetached(const QString& program, const QStringList& arguments) = 0;
    // Runs the program and waits until it ends, handling events meanwhile so windows still
    // repaint. The exit code, -1 when the program crashed, nothing when it could not be started.
    virtual std::optional<int> RunAndWait(const QString& program, const QStringList& arguments) = 0;
};

class QtProcesses : public Processes {
public:
    bool StartDetached(const QString& program, const QStringList& arguments) override;
    std::optional<int> RunAndWait(const QString& program, const QStringList& arguments) override;
};

// The full path of the first of the programs found on the search path ($PATH when empty),
// or an empty string.
QString FindFirstProgram(const QStringList& programs, const QStringList& searchPaths = {});

} // namespace ostrand
