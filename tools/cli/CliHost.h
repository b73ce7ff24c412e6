// SPDX-License-Identifier: GPL-3.0-or-later
// The radio operations' host on a terminal: status texts become output lines, the CPU
// question is answered by an option, and the image is a file's, not a grid's.
#pragma once

#include "common/Clock.h"
#include "link/RadioHost.h"
#include "platform/DebugLog.h"

#include <QString>
#include <QTextStream>

namespace ostrand::cli {

class CliHost : public RadioHost, public OperationReport {
public:
    CliHost(int16_t curRadioID, QString device, QString logPath, bool yesCpuMismatch);

    QString SerialDevice() const override { return device_; }
    EEImage& Image() override { return image_; }
    int16_t CurRadioID() const override { return curRadioID_; }
    int16_t CurRevision() const override { return curRevision_; }
    void SetIdentity(int16_t curRadioID, int16_t curRevision) override;
    BackupStore* Backups() override { return backups_; }
    void KeepBackups(BackupStore* store) { backups_ = store; }

    void SetStatus(const QString& text) override;
    void Beep() override;
    // The failure text stays on the terminal: no pause.
    bool PausesAfterFailure() const override { return false; }
    bool ConfirmCpuMismatch(const QString& text, const QString& title) override;
    void Log(const QString& text) override;

    bool Declined() const { return declined_; }

    // From now on Ctrl-C and SIGTERM stop the clock: a running operation ends at its next
    // wait.
    static void StopOnInterrupt(Clock& clock);
    static bool Interrupted();

private:
    EEImage image_{};
    int16_t curRadioID_;
    int16_t curRevision_ = 0;
    QString device_;
    DebugLog log_;
    bool yesCpuMismatch_;
    bool declined_ = false;
    BackupStore* backups_ = nullptr;
    QString shown_; // the status text last printed
    QTextStream out_;
};

} // namespace ostrand::cli
