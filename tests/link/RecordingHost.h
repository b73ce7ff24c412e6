// A RadioHost without a window: records every status text, beep, question and log line, and
// answers the CPU question as the test preset it.
#pragma once

#include "link/RadioHost.h"

#include <QStringList>

namespace ostrand {

class RecordingHost : public RadioHost {
public:
    QStringList statuses;
    QStringList logLines;
    QStringList events; // show/close/beep/buttons/decode in the order they happened
    int beeps = 0;
    int questions = 0;
    QString questionText, questionTitle;
    bool answerYes = false;
    bool readEnabled = true, writeEnabled = true;
    bool statusShown = false;
    bool closing = false;
    int identitySets = 0;
    EEImage image{};
    int16_t radioId = 0, revision = 0;
    QString device;

    void ShowStatus() override { statusShown = true, events << "show"; }
    void SetStatus(const QString& text) override { statuses << text; }
    void CloseStatus() override { statusShown = false, events << "close"; }
    void Beep() override { ++beeps, events << "beep"; }
    bool ConfirmCpuMismatch(const QString& text, const QString& title) override {
        ++questions, questionText = text, questionTitle = title;
        return answerYes;
    }
    void SetReadEnabled(bool on) override {
        readEnabled = on, events << (on ? "read on" : "read off");
    }
    void SetWriteEnabled(bool on) override {
        writeEnabled = on, events << (on ? "write on" : "write off");
    }
    EEImage& Image() override { return image; }
    int16_t CurRadioID() const override { return radioId; }
    int16_t CurRevision() const override { return revision; }
    void SetIdentity(int16_t id, int16_t rev) override {
        radioId = id, revision = rev, ++identitySets;
    }
    void EncodeGrid() override { events << "encode"; }
    void DecodeGrid() override { events << "decode"; }
    void Log(const QString& text) override { logLines << text; }
    QString SerialDevice() const override { return device; }
    bool Closing() const override { return closing; }
};

} // namespace ostrand
