// The radio operations' host on a terminal: status texts become output lines, the CPU
// question is answered by an option, and the image is a file's, not a grid's.
#pragma once

#include "link/RadioHost.h"
#include "platform/DebugLog.h"

#include <QString>
#include <QTextStream>

namespace ostrand::cli {

class CliHost : public RadioHost {
public:
    CliHost(int16_t curRadioID, QString device, QString logPath, bool yesCpuMismatch);

    void ShowStatus() override {}
    void SetStatus(const QString& text) override;
    void CloseStatus() override {}
    void Beep() override;
    // The failure text stays on the terminal: no pause.
    bool PausesAfterFailure() const override { return false; }
    bool ConfirmCpuMismatch(const QString& text, const QString& title) override;
    void SetReadEnabled(bool) override {}
    void SetWriteEnabled(bool) override {}
    EEImage& Image() override { return image_; }
    int16_t CurRadioID() const override { return curRadioID_; }
    int16_t CurRevision() const override { return curRevision_; }
    void SetIdentity(int16_t curRadioID, int16_t curRevision) override;
    // The image is sent as the file holds it: there is no grid to encode it from.
    void EncodeGrid() override {}
    void DecodeGrid() override {}
    void Log(const QString& text) override;
    QString SerialDevice() const override { return device_; }
    bool Closing() const override;

    bool Declined() const { return declined_; }

    // Ctrl-C and SIGTERM end a running operation at its next wait, through Closing().
    static void CatchInterrupts();
    static bool Interrupted();

private:
    EEImage image_{};
    int16_t curRadioID_;
    int16_t curRevision_ = 0;
    QString device_;
    bool logging_;
    DebugLog log_;
    bool yesCpuMismatch_;
    bool declined_ = false;
    QTextStream out_;
};

} // namespace ostrand::cli
