// A RadioHost without a window: records every status text, question, log line and window
// event, and answers the CPU question as the test preset it.
#pragma once

#include "link/RadioHost.h"

#include <QStringList>

namespace ostrand {

class RecordingHost : public RadioHost {
public:
    QStringList statuses, logLines;
    QStringList events;    // show/close/beep/buttons/encode/decode in the order they happened
    QStringList questions; // "title: text" of each question asked
    bool answerYes = false, closing = false;
    EEImage image{};
    int16_t radioId = 0, revision = 0;
    QString device;

    void ShowStatus() override { events << "show"; }
    void SetStatus(const QString& text) override { statuses << text; }
    void CloseStatus() override { events << "close"; }
    void Beep() override { events << "beep"; }
    bool ConfirmCpuMismatch(const QString& text, const QString& title) override {
        questions << title + ": " + text;
        return answerYes;
    }
    void SetReadEnabled(bool on) override { events << (on ? "read on" : "read off"); }
    void SetWriteEnabled(bool on) override { events << (on ? "write on" : "write off"); }
    EEImage& Image() override { return image; }
    int16_t CurRadioID() const override { return radioId; }
    int16_t CurRevision() const override { return revision; }
    void SetIdentity(int16_t id, int16_t rev) override { radioId = id, revision = rev; }
    void EncodeGrid() override { events << "encode"; }
    void DecodeGrid() override { events << "decode"; }
    void Log(const QString& text) override { logLines << text; }
    QString SerialDevice() const override { return device; }
    bool Closing() const override { return closing; }
};

} // namespace ostrand
