// What the Read Radio and Write Radio operations need from whoever runs them (the main
// window, or the command-line tool): status texts, a beep, the CPU question, the image and
// the grid. The operations themselves live in the link layer and never touch a widget.
#pragma once

#include "image/EEImage.h"

#include <QString>
#include <cstdint>

namespace ostrand {

class RadioHost {
public:
    virtual ~RadioHost() = default;

    // Status window: shown fresh at the start of an operation, text replaced, closed at the end.
    virtual void ShowStatus() = 0;
    virtual void SetStatus(const QString& text) = 0;
    virtual void CloseStatus() = 0;
    virtual void Beep() = 0;
    // Whether a failure text stays up for the 3-second pause (a terminal keeps its lines).
    virtual bool PausesAfterFailure() const { return true; }

    // "CPU Version Warning" Yes/No box with the stop icon; true when the operator says Yes.
    virtual bool ConfirmCpuMismatch(const QString& text, const QString& title) = 0;

    // The two radio buttons, in the order the operation names them.
    virtual void SetReadEnabled(bool enabled) = 0;
    virtual void SetWriteEnabled(bool enabled) = 0;

    virtual EEImage& Image() = 0;
    virtual int16_t CurRadioID() const = 0;
    virtual int16_t CurRevision() const = 0;
    // Stores the identified CPU and revision, then refreshes the CPU label, the CCT lists and
    // the grid (which redecodes the image). Called when an operation succeeds.
    virtual void SetIdentity(int16_t curRadioID, int16_t curRevision) = 0;
    // Grid -> image for rows 1..16, and image -> grid for rows 1..16.
    virtual void EncodeGrid() = 0;
    virtual void DecodeGrid() = 0;

    virtual void Log(const QString& text) = 0; // debug_log
    // The serial device to open (from the configuration).
    virtual QString SerialDevice() const = 0;
    // True once the window is closing: a running operation ends at its next wait.
    virtual bool Closing() const = 0;
};

} // namespace ostrand
