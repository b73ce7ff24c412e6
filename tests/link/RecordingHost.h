// SPDX-License-Identifier: GPL-3.0-or-later
// A host and report without a window: records every status text, question, log line and
// status window event, and answers the CPU question as the test preset it.
#pragma once

#include "link/RadioHost.h"

#include <QStringList>

namespace ostrand {

class RecordingHost : public RadioHost, public OperationReport {
public:
    QStringList statuses, logLines;
    QStringList events;    // show/close/beep in the order they happened
    QStringList questions; // "title: text" of each question asked
    bool answerYes = false;
    EEImage image{};
    int16_t radioId = 0, revision = 0;
    QString device;

    QString SerialDevice() const override { return device; }
    EEImage& Image() override { return image; }
    int16_t CurRadioID() const override { return radioId; }
    int16_t CurRevision() const override { return revision; }
    void SetIdentity(int16_t id, int16_t rev) override { radioId = id, revision = rev; }

    void ShowStatus() override { events << "show"; }
    void SetStatus(const QString& text) override { statuses << text; }
    void CloseStatus() override { events << "close"; }
    void Beep() override { events << "beep"; }
    bool ConfirmCpuMismatch(const QString& text, const QString& title) override {
        questions << title + ": " + text;
        return answerYes;
    }
    void Log(const QString& text) override { logLines << text; }
};

} // namespace ostrand
