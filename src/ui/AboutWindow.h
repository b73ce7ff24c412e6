// SPDX-License-Identifier: GPL-3.0-or-later
// The About window, and the system information tool it can start.
#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

namespace ostrand {

class Processes;
class MessageBoxes;

// Programs tried in order for "&System Info...".
QStringList SystemInfoTools();

// Starts the first system information tool found on the search path ($PATH when empty),
// without waiting; otherwise tells "System Information Is Unavailable At This Time".
// True when a tool was started.
bool StartSysInfo(Processes& processes, MessageBoxes& messages,
                  const QStringList& tools = SystemInfoTools(),
                  const QStringList& searchPaths = {});

class AboutWindow : public QDialog {
    Q_OBJECT
public:
    // processes and messages default to the real ones when null; the system information tool
    // is looked for on `searchPaths`, $PATH when empty.
    explicit AboutWindow(QWidget* owner = nullptr, Processes* processes = nullptr,
                         MessageBoxes* messages = nullptr, QStringList searchPaths = {});
    ~AboutWindow() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cmdSysInfo_Click();

    std::unique_ptr<Processes> ownProcesses_;
    std::unique_ptr<MessageBoxes> ownMessages_;
    Processes* processes_;
    MessageBoxes* messages_;
    QStringList searchPaths_;
};

// "Version " + major.minor.patch of the program.
QString VersionText();

// Shows the About window modally over the owner; returns when it is closed.
void ShowAbout(QWidget* owner, Processes* processes = nullptr, MessageBoxes* messages = nullptr);

} // namespace ostrand
